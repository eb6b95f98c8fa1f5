#include "XFileText.h"

#include <cctype>
#include <cstdlib>

const XObject* XObject::Child(const std::string& childType) const
{
    for (const XObject& child : children) {
        if (child.type == childType)
            return &child;
    }
    return nullptr;
}

namespace {

struct Tokens {
    std::vector<std::string> list;
    size_t next = 0;

    bool Done() const { return next >= list.size(); }
    const std::string& Peek(size_t ahead = 0) const
    {
        static const std::string NONE;
        return next + ahead < list.size() ? list[next + ahead] : NONE;
    }
};

Tokens Tokenise(const std::string& text, size_t start)
{
    Tokens tokens;
    size_t i = start;
    while (i < text.size()) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c)) || c == ';' || c == ',') {
            ++i;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (c == '{' || c == '}') {
            tokens.list.push_back(std::string(1, c));
            ++i;
        } else {
            size_t j = i;
            while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j])) && text[j] != ';' &&
                   text[j] != ',' && text[j] != '{' && text[j] != '}')
                ++j;
            tokens.list.push_back(text.substr(i, j - i));
            i = j;
        }
    }
    return tokens;
}

bool IsNumber(const std::string& token, double& value)
{
    if (token.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return end && *end == '\0';
}

bool ParseBody(Tokens& tokens, XObject& object);

// type [name] { body }
bool ParseObject(Tokens& tokens, XObject& object)
{
    object.type = tokens.list[tokens.next++];
    if (tokens.Peek() != "{") {
        object.name = tokens.Peek();
        ++tokens.next;
    }
    if (tokens.Peek() != "{")
        return false;
    ++tokens.next;
    return ParseBody(tokens, object);
}

bool ParseBody(Tokens& tokens, XObject& object)
{
    while (!tokens.Done()) {
        const std::string& token = tokens.Peek();
        double value;
        if (token == "}") {
            ++tokens.next;
            return true;
        }
        if (IsNumber(token, value)) {
            object.numbers.push_back(value);
            ++tokens.next;
        } else if (token == "{") {
            // A reference to a named object: { Name }.
            tokens.next += 1;
            while (!tokens.Done() && tokens.Peek() != "}")
                ++tokens.next;
            if (tokens.Done())
                return false;
            ++tokens.next;
        } else {
            XObject child;
            if (!ParseObject(tokens, child))
                return false;
            object.children.push_back(child);
        }
    }
    return false;
}

}  // namespace

bool ParseXFileText(const std::string& text, std::vector<XObject>& objects)
{
    objects.clear();
    const std::string HEADER = "xof 0303txt 0032";
    if (text.compare(0, HEADER.size(), HEADER) != 0)
        return false;
    Tokens tokens = Tokenise(text, HEADER.size());
    while (!tokens.Done()) {
        XObject object;
        if (!ParseObject(tokens, object))
            return false;
        objects.push_back(object);
    }
    return true;
}
