#pragma once

// The effect the device tests draw with.
static const char DEVICE_TEST_EFFECT[] = R"(
float4x4 g_mTransform;
float g_fDepth = 0.5;
float4 g_vColor = {1, 1, 1, 1};
texture g_tx;
sampler g_samLinear = sampler_state
{
    Texture = <g_tx>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = None;
    AddressU = Clamp; AddressV = Clamp;
};
sampler g_samPoint = sampler_state
{
    Texture = <g_tx>;
    MinFilter = Point; MagFilter = Point; MipFilter = None;
    AddressU = Wrap; AddressV = Wrap;
};

struct VS_OUT { float4 Pos : POSITION; float4 Color : COLOR0; };

VS_OUT TransformVS(float4 Pos : POSITION)
{
    VS_OUT o;
    o.Pos = mul(Pos, g_mTransform);
    o.Color = g_vColor;
    return o;
}

// Clip position straight from the vertex: x, y, the depth parameter scaled by w, w.
VS_OUT ClipVS(float4 Pos : POSITION)
{
    VS_OUT o;
    o.Pos = float4(Pos.xy * Pos.z, g_fDepth * Pos.z, Pos.z);
    o.Color = g_vColor;
    return o;
}

float4 ColorPS(float4 c : COLOR0) : COLOR { return c; }
float4 TexLinearPS(float2 t : TEXCOORD0, float4 c : COLOR0) : COLOR { return tex2D(g_samLinear, t) * c; }
float4 TexPointPS(float2 t : TEXCOORD0) : COLOR { return tex2D(g_samPoint, t); }

technique Transform { pass p0 { VertexShader = compile vs_2_0 TransformVS(); PixelShader = compile ps_2_0 ColorPS(); } }
technique Clip { pass p0 { VertexShader = compile vs_2_0 ClipVS(); PixelShader = compile ps_2_0 ColorPS(); } }
technique Flat { pass p0 { VertexShader = NULL; PixelShader = compile ps_2_0 ColorPS(); } }
technique TexLinear { pass p0 { PixelShader = compile ps_2_0 TexLinearPS(); } }
technique TexPoint { pass p0 { PixelShader = compile ps_2_0 TexPointPS(); } }
technique States
{
    pass p0 { CullMode = CW; ZEnable = false; AlphaBlendEnable = true; PixelShader = compile ps_2_0 TexPointPS(); }
    pass p1 < float fScaleX = 0.25; float fScaleY = 4; string Name = "second"; >
    {
        ZWriteEnable = false;
        PixelShader = compile ps_2_0 ColorPS();
    }
}
)";
