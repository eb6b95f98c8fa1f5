//
// 2d.fx: screen-space quads. Vertices arrive pre-transformed (x, y in pixels),
// so the vertex shaders below take no part in drawing them.
//

texture g_Texture;
float g_fBrightness = 0.0f;
float4x4 g_OrthogonalMatrix;

sampler texSampler0 = sampler_state
{
    Texture = <g_Texture>;
    MipFilter = LINEAR;
    MinFilter = LINEAR;
    MagFilter = LINEAR;
    AddressU = WRAP;
    AddressV = WRAP;
};

struct VS_OUTPUT_POSCOL
{
    float4 Position : POSITION;
    float4 Color : COLOR0;
};

struct VS_OUTPUT_POSCOLTEX
{
    float4 Position : POSITION;
    float4 Color : COLOR0;
    float2 TexCoord : TEXCOORD0;
};

VS_OUTPUT_POSCOL VS_PosCol(float4 Position : POSITION, float4 Color : COLOR0)
{
    VS_OUTPUT_POSCOL Out;
    Out.Position = mul(Position, g_OrthogonalMatrix);
    Out.Color = Color;
    return Out;
}

float4 PS_PosCol(float4 Color : COLOR0) : COLOR0
{
    return Color;
}

VS_OUTPUT_POSCOLTEX VS_PosColTex(float4 Position : POSITION, float4 Color : COLOR0, float2 TexCoord : TEXCOORD0)
{
    VS_OUTPUT_POSCOLTEX Out;
    Out.Position = float4(0.0f, 0.0f, 0.0f, 0.0f);
    Out.Color = Color;
    Out.TexCoord = TexCoord;
    return Out;
}

float4 PS_PosColTex(float4 Color : COLOR0, float2 TexCoord : TEXCOORD0) : COLOR0
{
    return tex2D(texSampler0, TexCoord) * Color + g_fBrightness;
}

float4 PS_PosColTexAlpha(float4 Color : COLOR0, float2 TexCoord : TEXCOORD0) : COLOR0
{
    float4 c = tex2D(texSampler0, TexCoord) * Color;
    c.a = Color.a * (c.r + c.g + c.b) / 3.0f;
    return c;
}

technique PosCol2D
{
    pass Single_Pass
    {
        VertexShader = compile vs_2_0 VS_PosCol();
        PixelShader = compile ps_2_0 PS_PosCol();
    }
}

technique PosColTex2D
{
    pass Single_Pass
    {
        VertexShader = compile vs_2_0 VS_PosColTex();
        PixelShader = compile ps_2_0 PS_PosColTex();
    }
}

technique PosColTex2DAlpha
{
    pass Single_Pass
    {
        VertexShader = compile vs_2_0 VS_PosColTex();
        PixelShader = compile ps_2_0 PS_PosColTexAlpha();
    }
}
