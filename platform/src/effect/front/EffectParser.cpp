#include "EffectParser.h"

#include "EffectConstantExpression.h"
#include "EffectStateNames.h"
#include "EffectTokenCursor.h"
#include "EffectTypeNames.h"
#include "ShaderSourceRewrite.h"

#include <cstdlib>

namespace {

// Declarations, techniques and their states; what the effect framework reads leaves the
// shader text.
class Parser : private EffectTokenCursor {
public:
    Parser(const std::string& source, EffectDescription& out) : EffectTokenCursor(source), m_out(out) {}

    bool Run(std::string& error)
    {
        if (!Tokenize() || !ParseTopLevel() || !Validate()) {
            error = m_error;
            return false;
        }
        m_out.shaderSource = m_rewrite.Apply(m_source);
        return true;
    }

private:
    // Moves to the next ',' or ';' outside any brackets.
    bool SkipToDeclaratorEnd()
    {
        while (!IsPunct(Peek(), ',') && !IsPunct(Peek(), ';')) {
            if (Peek().kind == EffectTokenKind::End)
                return Fail(Peek(), "expected ';' but found end of file");
            if (IsPunct(Peek(), '(')) {
                if (!SkipBalanced('(', ')'))
                    return false;
            } else if (IsPunct(Peek(), '{')) {
                if (!SkipBalanced('{', '}'))
                    return false;
            } else {
                Next();
            }
        }
        return true;
    }

    // ---- top level ----
    bool ParseTopLevel()
    {
        while (Peek().kind != EffectTokenKind::End) {
            const EffectToken& t = Peek();
            if (t.kind == EffectTokenKind::Directive || IsPunct(t, ';')) {
                Next();
                continue;
            }
            if (t.kind != EffectTokenKind::Identifier)
                return Fail(t, "unexpected " + Describe(t));
            bool ok;
            if (IsKeyword(t, "technique"))
                ok = ParseTechnique();
            else if (IsWord(t, "struct"))
                ok = SkipStruct();
            else if (IsWord(t, "typedef"))
                ok = SkipToStatementEnd();
            else
                ok = ParseDeclaration();
            if (!ok)
                return false;
        }
        return true;
    }

    bool SkipStruct()
    {
        Next();  // struct
        std::string name;
        if (!ExpectIdentifier(name))
            return false;
        if (!IsPunct(Peek(), '{'))
            return Fail(Peek(), "expected '{' after struct " + name);
        if (!SkipBalanced('{', '}'))
            return false;
        return SkipToStatementEnd();
    }

    bool SkipToStatementEnd()
    {
        while (!IsPunct(Peek(), ';')) {
            if (Peek().kind == EffectTokenKind::End)
                return Fail(Peek(), "expected ';' but found end of file");
            if (IsPunct(Peek(), '{') && !SkipBalanced('{', '}'))
                return false;
            if (!IsPunct(Peek(), ';'))
                Next();
        }
        Next();
        return true;
    }

    // ---- declarations: parameters, textures, samplers, statics and functions ----
    bool ParseDeclaration()
    {
        const size_t declBegin = Peek().begin;
        bool isStatic = false;
        for (;;) {
            const EffectToken& t = Peek();
            if (IsWord(t, "static")) {
                isStatic = true;
            } else if (IsWord(t, "shared") || IsWord(t, "const")) {
                // Effect-only or meaningless on a parameter the application sets.
                if (!isStatic)
                    m_rewrite.Replace(t.begin, t.end);
            } else if (!(IsWord(t, "uniform") || IsWord(t, "extern") || IsWord(t, "volatile") || IsWord(t, "inline") ||
                         IsWord(t, "row_major") || IsWord(t, "column_major") || IsWord(t, "precise"))) {
                break;
            }
            Next();
        }
        const EffectToken typeToken = Peek();
        std::string typeName;
        if (!ExpectIdentifier(typeName))
            return false;
        NumericType numeric;
        bool isNumeric = ParseNumericTypeName(typeName, numeric);
        if ((typeName == "matrix" || typeName == "vector") && IsPunct(Peek(), '<')) {
            if (!ParseTemplateType(typeName, numeric))
                return false;
            isNumeric = true;
        }
        if (Peek().kind != EffectTokenKind::Identifier)
            return Fail(Peek(), "expected a name after " + Describe(typeToken));
        if (IsPunct(Peek(1), '('))
            return SkipFunction();

        if (isStatic)
            return SkipToStatementEnd();
        if (IsTextureType(typeName))
            return ParseObjectDeclaration(declBegin, EffectValueType::Texture, typeName);
        if (!SamplerTypeFor(typeName).empty())
            return ParseObjectDeclaration(declBegin, EffectValueType::Sampler, typeName);
        if (typeName == "string")
            return ParseObjectDeclaration(declBegin, EffectValueType::String, typeName);
        if (!isNumeric)
            return Fail(typeToken, "unsupported type of a global variable: " + Describe(typeToken));
        return ParseNumericDeclaration(numeric);
    }

    bool ParseTemplateType(const std::string& typeName, NumericType& numeric)
    {
        Next();  // <
        std::string base;
        if (!ExpectIdentifier(base))
            return false;
        NumericType scalar;
        if (!ParseNumericTypeName(base, scalar) || scalar.rows != 1 || scalar.columns != 1)
            return Fail(Peek(), "unsupported element type " + base);
        numeric.type = scalar.type;
        int sizes[2] = {0, 0};
        const int count = typeName == "matrix" ? 2 : 1;
        for (int i = 0; i < count; ++i) {
            if (!Expect(','))
                return false;
            const EffectToken& n = Peek();
            const std::string text = Text(n);
            if (n.kind != EffectTokenKind::Number || text.size() != 1 || text[0] < '1' || text[0] > '4')
                return Fail(n, "expected a size from 1 to 4 but found " + Describe(n));
            sizes[i] = text[0] - '0';
            Next();
        }
        if (!Expect('>'))
            return false;
        numeric.rows = count == 2 ? sizes[0] : 1;
        numeric.columns = count == 2 ? sizes[1] : sizes[0];
        return true;
    }

    bool SkipFunction()
    {
        Next();  // name
        if (!CheckParameterNames())
            return false;
        if (!SkipBalanced('(', ')'))
            return false;
        if (IsPunct(Peek(), ':')) {
            Next();
            std::string semantic;
            if (!ExpectIdentifier(semantic))
                return false;
        }
        if (IsPunct(Peek(), ';')) {
            Next();
            return true;
        }
        if (!IsPunct(Peek(), '{'))
            return Fail(Peek(), "expected a function body but found " + Describe(Peek()));
        return SkipBalanced('{', '}');
    }

    // At a function's '(': every parameter has a type and a name. The HLSL compiler is not
    // robust against a parameter without a name, so the front-end refuses it first.
    bool CheckParameterNames()
    {
        static const char* const MODIFIERS[] = {"in",     "out",      "inout",           "uniform",       "const",
                                                "linear", "centroid", "nointerpolation", "noperspective", "sample",
                                                "precise"};
        size_t i = m_pos + 1;
        int depth = 0;
        int names = 0;
        bool inDeclarator = true;  // before any ':', '=' or '[' of this parameter
        bool empty = true;
        for (; i < m_tokens.size(); ++i) {
            const EffectToken& t = m_tokens[i];
            if (t.kind == EffectTokenKind::End)
                return true;  // SkipBalanced reports it
            const bool open = IsPunct(t, '(') || IsPunct(t, '<');
            const bool close = IsPunct(t, ')') || IsPunct(t, '>');
            if (depth == 0 && (IsPunct(t, ',') || IsPunct(t, ')'))) {
                const bool onlyVoid = names == 1 && IsWord(m_tokens[i - 1], "void") && IsPunct(t, ')');
                if ((!empty || IsPunct(t, ',')) && names < 2 && !onlyVoid)
                    return Fail(t, "function parameter without a type and a name");
                if (IsPunct(t, ')'))
                    return true;
                names = 0;
                inDeclarator = true;
                empty = true;
                continue;
            }
            empty = false;
            if (open)
                ++depth;
            else if (close)
                --depth;
            if (depth == 0 && (IsPunct(t, ':') || IsPunct(t, '=') || IsPunct(t, '[')))
                inDeclarator = false;
            if (inDeclarator && depth == 0 && t.kind == EffectTokenKind::Identifier) {
                bool modifier = false;
                for (const char* m : MODIFIERS)
                    modifier = modifier || Text(t) == m;
                if (!modifier)
                    ++names;
            }
        }
        return true;
    }

    // Optional ": SEMANTIC" or ": register(...)"; removed from the shader text.
    bool ParseSemantic(std::string& semantic)
    {
        if (!IsPunct(Peek(), ':'))
            return true;
        const size_t begin = Next().begin;
        std::string word;
        if (!ExpectIdentifier(word))
            return false;
        if (word == "register" && IsPunct(Peek(), '(')) {
            if (!SkipBalanced('(', ')'))
                return false;
        } else {
            semantic = word;
        }
        m_rewrite.Replace(begin, Peek().begin);
        return true;
    }

    bool ParseArraySize(int& elements)
    {
        if (!IsPunct(Peek(), '['))
            return true;
        Next();
        const EffectToken& n = Peek();
        const long value = n.kind == EffectTokenKind::Number ? std::strtol(Text(n).c_str(), nullptr, 10) : 0;
        if (value <= 0 || value > MAX_PARAMETER_VALUES)
            return Fail(n, "expected an array size but found " + Describe(n));
        Next();
        elements = static_cast<int>(value);
        return Expect(']');
    }

    bool ParseNumericDeclaration(const NumericType& numeric)
    {
        for (;;) {
            EffectParameter p;
            p.type = numeric.type;
            p.rows = numeric.rows;
            p.columns = numeric.columns;
            const EffectToken nameToken = Peek();
            if (!ExpectIdentifier(p.name) || !ParseArraySize(p.elements) || !ParseSemantic(p.semantic))
                return false;
            if (p.ValueCount() > MAX_PARAMETER_VALUES)
                return Fail(nameToken, "parameter " + p.name + " is too large");
            if (IsPunct(Peek(), '<')) {
                const size_t begin = Peek().begin;
                if (!ParseAnnotations(p.annotations))
                    return false;
                m_rewrite.Replace(begin, Peek().begin);
            }
            p.defaults.assign(p.ValueCount(), 0.0f);
            if (IsPunct(Peek(), '=')) {
                const size_t begin = Next().begin;
                std::vector<float> values;
                if (!ParseConstantInitializer(*this, values))
                    return false;
                if (values.size() == 1 && p.elements == 0)
                    p.defaults.assign(p.ValueCount(), values[0]);
                else if (values.size() == p.defaults.size())
                    p.defaults = values;
                else
                    return Fail(nameToken, "initializer of " + p.name + " has " + std::to_string(values.size()) +
                                               " values where " + std::to_string(p.defaults.size()) + " are expected");
                m_rewrite.Replace(begin, Peek().begin);
            }
            if (!AddParameter(nameToken, std::move(p)))
                return false;
            if (IsPunct(Peek(), ',')) {
                Next();
                continue;
            }
            return Expect(';');
        }
    }

    bool AddParameter(const EffectToken& at, EffectParameter p)
    {
        for (const EffectParameter& q : m_out.parameters)
            if (q.name == p.name)
                return Fail(at, "redefinition of " + p.name);
        for (const EffectSampler& s : m_out.samplers)
            if (s.name == p.name)
                return Fail(at, "redefinition of " + p.name);
        m_out.parameters.push_back(std::move(p));
        return true;
    }

    // Textures, samplers and strings: the whole declaration leaves the shader text; a
    // sampler comes back as a plain sampler declaration.
    bool ParseObjectDeclaration(size_t declBegin, EffectValueType type, const std::string& typeName)
    {
        std::string replacement;
        for (;;) {
            const EffectToken nameToken = Peek();
            std::string name, semantic;
            int elements = 0;
            if (!ExpectIdentifier(name) || !ParseArraySize(elements) || !ParseSemantic(semantic))
                return false;
            if (elements != 0)
                return Fail(nameToken, "arrays of textures, samplers or strings are not supported");
            std::vector<EffectAnnotation> annotations;
            if (IsPunct(Peek(), '<') && !ParseAnnotations(annotations))
                return false;
            if (type == EffectValueType::Sampler) {
                EffectSampler sampler;
                sampler.name = name;
                if (IsPunct(Peek(), '=')) {
                    Next();
                    if (!ParseSamplerState(sampler))
                        return false;
                }
                for (const EffectSampler& s : m_out.samplers)
                    if (s.name == name)
                        return Fail(nameToken, "redefinition of " + name);
                m_out.samplers.push_back(sampler);
                replacement += SamplerTypeFor(typeName) + " " + name + "; ";
            } else {
                EffectParameter p;
                p.name = name;
                p.semantic = semantic;
                p.type = type;
                p.annotations = std::move(annotations);
                if (IsPunct(Peek(), '=')) {
                    Next();
                    if (type == EffectValueType::String && Peek().kind == EffectTokenKind::String) {
                        p.annotations.push_back({"", EffectValueType::String, {}, UnquoteString(Text(Next()))});
                    } else if (!SkipToDeclaratorEnd()) {
                        return false;
                    }
                }
                if (!AddParameter(nameToken, std::move(p)))
                    return false;
            }
            if (IsPunct(Peek(), ',')) {
                Next();
                continue;
            }
            if (!IsPunct(Peek(), ';'))
                return Fail(Peek(), "expected ';' but found " + Describe(Peek()));
            m_rewrite.Replace(declBegin, Next().end, replacement);
            return true;
        }
    }

    bool ParseSamplerState(EffectSampler& sampler)
    {
        if (!IsKeyword(Peek(), "sampler_state"))
            return Fail(Peek(), "expected sampler_state but found " + Describe(Peek()));
        Next();
        if (!Expect('{'))
            return false;
        while (!IsPunct(Peek(), '}')) {
            const EffectToken nameToken = Peek();
            std::string name;
            if (!ExpectIdentifier(name) || !Expect('='))
                return false;
            if (EqualsIgnoringCase(name, "Texture")) {
                char close = 0;
                if (IsPunct(Peek(), '<'))
                    close = '>';
                else if (IsPunct(Peek(), '('))
                    close = ')';
                if (close)
                    Next();
                if (!ExpectIdentifier(sampler.texture) || (close && !Expect(close)))
                    return false;
            } else {
                D3DSAMPLERSTATETYPE state;
                if (!FindSamplerState(name, state))
                    return Fail(nameToken, "unknown sampler state " + name);
                const EffectToken valueToken = Peek();
                DWORD value = 0;
                if (!(valueToken.kind == EffectTokenKind::Identifier || valueToken.kind == EffectTokenKind::Number) ||
                    !FindSamplerStateValue(state, Text(valueToken), value))
                    return Fail(valueToken, "invalid value " + Describe(valueToken) + " for " + name);
                Next();
                sampler.states.push_back({state, value});
            }
            if (!Expect(';'))
                return false;
        }
        Next();  // }
        return true;
    }

    // ---- annotations ----
    // < type name = value; ... >
    bool ParseAnnotations(std::vector<EffectAnnotation>& annotations)
    {
        Next();  // <
        while (!IsPunct(Peek(), '>')) {
            EffectAnnotation a;
            const EffectToken typeToken = Peek();
            std::string typeName;
            if (!ExpectIdentifier(typeName) || !ExpectIdentifier(a.name) || !Expect('='))
                return false;
            NumericType numeric;
            if (typeName == "string") {
                a.type = EffectValueType::String;
                if (Peek().kind != EffectTokenKind::String)
                    return Fail(Peek(), "expected a string but found " + Describe(Peek()));
                a.text = UnquoteString(Text(Next()));
            } else if (ParseNumericTypeName(typeName, numeric)) {
                a.type = numeric.type;
                if (!ParseConstantInitializer(*this, a.values))
                    return false;
                const size_t expected = static_cast<size_t>(numeric.rows * numeric.columns);
                if (a.values.size() == 1 && expected > 1)
                    a.values.assign(expected, a.values[0]);
                if (a.values.size() != expected)
                    return Fail(typeToken, "annotation " + a.name + " has the wrong number of values");
            } else {
                return Fail(typeToken, "unsupported annotation type " + Describe(typeToken));
            }
            if (!Expect(';'))
                return false;
            annotations.push_back(std::move(a));
        }
        Next();  // >
        return true;
    }

    // ---- techniques ----
    // After technique or pass: an optional name, optional annotations, the opening brace.
    bool ParseBlockOpening(std::string& name, std::vector<EffectAnnotation>& annotations)
    {
        if (Peek().kind == EffectTokenKind::Identifier)
            name = Text(Next());
        if (IsPunct(Peek(), '<') && !ParseAnnotations(annotations))
            return false;
        return Expect('{');
    }

    bool ParseTechnique()
    {
        const size_t begin = Next().begin;  // technique
        EffectTechnique technique;
        if (!ParseBlockOpening(technique.name, technique.annotations))
            return false;
        while (!IsPunct(Peek(), '}')) {
            if (!IsKeyword(Peek(), "pass"))
                return Fail(Peek(), "expected pass but found " + Describe(Peek()));
            if (!ParsePass(technique))
                return false;
        }
        m_rewrite.Replace(begin, Next().end);
        for (const EffectTechnique& t : m_out.techniques)
            if (!technique.name.empty() && t.name == technique.name)
                return Fail(m_tokens[m_pos], "redefinition of technique " + technique.name);
        m_out.techniques.push_back(std::move(technique));
        return true;
    }

    bool ParsePass(EffectTechnique& technique)
    {
        EffectPass pass;
        pass.line = Next().line;  // pass
        if (!ParseBlockOpening(pass.name, pass.annotations))
            return false;
        while (!IsPunct(Peek(), '}')) {
            const EffectToken nameToken = Peek();
            std::string name;
            if (!ExpectIdentifier(name))
                return false;
            if (IsPunct(Peek(), '['))
                return Fail(nameToken, "indexed pass state " + name + " is not supported");
            if (!Expect('='))
                return false;
            bool ok;
            if (EqualsIgnoringCase(name, "VertexShader"))
                ok = ParseShaderAssignment(pass.vertexShader, "vs_");
            else if (EqualsIgnoringCase(name, "PixelShader"))
                ok = ParseShaderAssignment(pass.pixelShader, "ps_");
            else
                ok = ParseRenderState(nameToken, name, pass);
            if (!ok || !Expect(';'))
                return false;
        }
        Next();  // }
        technique.passes.push_back(std::move(pass));
        return true;
    }

    bool ParseShaderAssignment(EffectShader& shader, const char* profilePrefix)
    {
        if (shader.assigned)
            return Fail(Peek(), "shader assigned twice in one pass");
        shader.assigned = true;
        if (IsKeyword(Peek(), "NULL")) {
            Next();
            return true;
        }
        if (!IsKeyword(Peek(), "compile"))
            return Fail(Peek(), "expected compile or NULL but found " + Describe(Peek()));
        Next();
        const EffectToken profileToken = Peek();
        if (!ExpectIdentifier(shader.profile))
            return false;
        static const char* const PROFILES[] = {"vs_1_1", "vs_2_0", "vs_2_a", "vs_2_sw", "vs_3_0", "ps_1_1",  "ps_1_2",
                                               "ps_1_3", "ps_1_4", "ps_2_0", "ps_2_a",  "ps_2_b", "ps_2_sw", "ps_3_0"};
        bool known = false;
        for (const char* p : PROFILES)
            known = known || shader.profile == p;
        if (!known || shader.profile.compare(0, 3, profilePrefix) != 0)
            return Fail(profileToken, "invalid shader profile " + Describe(profileToken));
        if (!ExpectIdentifier(shader.entry) || !Expect('('))
            return false;
        while (!IsPunct(Peek(), ')')) {
            const size_t argBegin = Peek().begin;
            int depth = 0;
            while (depth > 0 || !(IsPunct(Peek(), ',') || IsPunct(Peek(), ')'))) {
                if (Peek().kind == EffectTokenKind::End || IsPunct(Peek(), ';'))
                    return Fail(Peek(), "unterminated shader arguments");
                if (IsPunct(Peek(), '('))
                    ++depth;
                else if (IsPunct(Peek(), ')'))
                    --depth;
                Next();
            }
            shader.arguments.push_back(m_source.substr(argBegin, m_tokens[m_pos - 1].end - argBegin));
            if (IsPunct(Peek(), ','))
                Next();
        }
        Next();  // )
        return true;
    }

    bool ParseRenderState(const EffectToken& nameToken, const std::string& name, EffectPass& pass)
    {
        D3DRENDERSTATETYPE state;
        if (!FindRenderState(name, state))
            return Fail(nameToken, "unknown pass state " + name);
        DWORD value = 0;
        for (;;) {
            const EffectToken& t = Peek();
            DWORD part = 0;
            if (!(t.kind == EffectTokenKind::Identifier || t.kind == EffectTokenKind::Number) ||
                !FindRenderStateValue(state, Text(t), part))
                return Fail(t, "invalid value " + Describe(t) + " for " + name);
            Next();
            value |= part;
            if (!IsPunct(Peek(), '|'))
                break;
            Next();
        }
        for (EffectRenderState& rs : pass.renderStates) {
            if (rs.type == state) {
                rs.value = value;
                return true;
            }
        }
        pass.renderStates.push_back({state, value});
        return true;
    }

    // ---- checks ----
    bool Validate()
    {
        for (const EffectSampler& s : m_out.samplers) {
            if (s.texture.empty())
                continue;
            bool found = false;
            for (const EffectParameter& p : m_out.parameters)
                found = found || (p.name == s.texture && p.type == EffectValueType::Texture);
            if (!found) {
                m_error = "error: sampler " + s.name + " refers to " + s.texture + ", which is not a texture";
                return false;
            }
        }
        return true;
    }

    EffectDescription& m_out;
    ShaderSourceRewrite m_rewrite;
};

}  // namespace

bool ParseEffect(const std::string& source, EffectDescription& description, std::string& error)
{
    description = EffectDescription();
    Parser parser(source, description);
    return parser.Run(error);
}
