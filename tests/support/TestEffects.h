#pragma once

// Effect sources shared by the tests, written in the Direct3D 9 effect syntax the intro's
// own effect files use.

// A lit scene in three passes plus a pre-transformed copy, like the intro's scene effect.
static const char SCENE_EFFECT[] = R"(
// Scene effect used by the tests.
float4x4 g_mProj;
float4x4 g_mModelView : WORLDVIEW;
float g_fFocalPlaneLength;
float g_fSpecularStrength = 16;
float3 g_vSpecularColor = {0.5, 0.5, 0.5};
float4 g_vAmbientColor = float4(0.2, 0.2, 0.2, 1.0);
float4 g_vDiffuseColor < string UIName = "Diffuse"; > = {0.5, 0.5, 0.5, 1.0};
float3 g_vLightDir = {0.25, 0.5, 0.25};
texture g_txScene;

sampler g_samScene = sampler_state
{
    Texture = <g_txScene>;
    AddressU = Wrap;
    AddressV = WRAP;
    MinFilter = Point;
    MagFilter = Linear;
    MipFilter = Linear;
};

struct VS_OUTPUT
{
    float4 Pos : POSITION;
    float4 Color : COLOR0;
    float3 Normal : TEXCOORD1;
    float3 ViewPos : TEXCOORD2;
};

VS_OUTPUT SceneVS(float4 Pos : POSITION, float3 Normal : NORMAL, float2 Tex : TEXCOORD0)
{
    VS_OUTPUT o;
    float3 P = mul(Pos, g_mModelView).xyz;
    o.Pos = mul(float4(P, 1), g_mProj);
    o.Color = g_vDiffuseColor;
    o.Normal = mul(Normal, (float3x3)g_mModelView);
    o.ViewPos = float3(P.xy, P.z / -g_fFocalPlaneLength);
    return o;
}

float4 ColorPS(VS_OUTPUT i) : COLOR
{
    float d = saturate(dot(normalize(i.Normal), normalize(g_vLightDir)));
    return g_vAmbientColor + i.Color * d;
}

float4 NormalPS(VS_OUTPUT i) : COLOR { return float4(normalize(i.Normal), 1); }
float4 PositionPS(VS_OUTPUT i) : COLOR { return float4(i.ViewPos, 1); }
float4 CopyPS(float2 Tex : TEXCOORD0) : COLOR { return tex2D(g_samScene, Tex); }

technique RenderSceneThreePasses
{
    pass p0
    {
        VertexShader = compile vs_2_0 SceneVS();
        PixelShader = compile ps_2_0 ColorPS();
        CullMode = CW;
        ZEnable = true;
        AlphaBlendEnable = TRUE;
    }
    pass p1 { VertexShader = compile vs_2_0 SceneVS(); PixelShader = compile ps_2_0 NormalPS(); }
    pass p2 { VertexShader = compile vs_2_0 SceneVS(); PixelShader = compile ps_2_0 PositionPS(); }
}

technique RenderNoLight
{
    pass p0
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 CopyPS();
        ZEnable = false;
    }
}
)";

// A post-process pass that shrinks the image, with its scale annotations.
static const char DOWN_FILTER_EFFECT[] = R"(
float2 g_PixelRatio;
texture g_txSrcColor;
texture g_txSrcNormal;
texture g_txSrcPosition;
texture g_txSceneColor;
sampler2D g_samSrcColor = sampler_state
{
    Texture = <g_txSrcColor>;
    AddressU = Clamp; AddressV = Clamp;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};
static const float2 OFFSETS[4] = { {-1.5, -1.5}, {-0.5, -0.5}, {0.5, 0.5}, {1.5, 1.5} };

float4 DownFilter(in float2 Tex : TEXCOORD0) : COLOR0
{
    float4 c = 0;
    for (int i = 0; i < 4; i++)
        c += tex2D(g_samSrcColor, Tex + OFFSETS[i] * g_PixelRatio);
    return c / 4;
}

technique PostProcess
{
    pass p0 < float fScaleX = 0.25; float fScaleY = 0.25; >
    {
        VertexShader = null;
        PixelShader = compile ps_2_0 DownFilter();
    }
}
)";
