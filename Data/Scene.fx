//
// Scene.fx: lit geometry in three passes (colour, view-space normal, scaled
// view-space position), one per scene target, and the plain copy that puts
// the finished image on the back buffer.
//

float4x4 g_mProj;
float4x4 g_mModel;
float4x4 g_mModelView;
texture g_txScene;
float g_fFocalPlaneLength;
float g_fSpecularStrength = 16.0f;
float3 g_vSpecularColor = { 0.5f, 0.5f, 0.5f };
float4 g_vAmbientColor = { 0.2f, 0.2f, 0.2f, 1.0f };
float4 g_vDiffuseColor = { 0.5f, 0.5f, 0.5f, 1.0f };
float3 g_vLightDir = { 0.25f, 0.5f, 0.25f };
float3 g_vLightColor = { 0.1f, 0.1f, 0.1f };

sampler g_samScene = sampler_state
{
    Texture = <g_txScene>;
    AddressU = WRAP;
    AddressV = WRAP;
    MinFilter = POINT;
    MagFilter = LINEAR;
    MipFilter = LINEAR;
};

struct VS_OUTPUT
{
    float4 Position : POSITION;
    float4 Color : COLOR0;
    float2 TexCoord : TEXCOORD0;
    float3 Normal : TEXCOORD1;
    float3 ViewDir : TEXCOORD2;
    float3 ViewPos : TEXCOORD3;
};

struct PS_INPUT
{
    float4 Color : COLOR0;
    float2 TexCoord : TEXCOORD0;
    float3 Normal : TEXCOORD1;
    float3 ViewDir : TEXCOORD2;
    float3 ViewPos : TEXCOORD3;
};

VS_OUTPUT SceneVS(float4 Position : POSITION, float3 Normal : NORMAL, float2 TexCoord : TEXCOORD0)
{
    VS_OUTPUT Out;
    Out.Color = g_vDiffuseColor;
    Out.TexCoord = TexCoord;
    float3 P = mul(Position, g_mModelView).xyz;
    Out.ViewDir = -g_mModelView[3].xyz - P;
    Out.Position = mul(float4(P, 1.0f), g_mProj);
    Out.Normal = mul(Normal, (float3x3)g_mModelView);
    // Depth as a fraction of the focal length: 1.0 at the focal plane.
    Out.ViewPos = float3(P.x, P.y, P.z / -g_fFocalPlaneLength);
    return Out;
}

float4 ColorPS(PS_INPUT In) : COLOR0
{
    float3 n = normalize(In.Normal);
    float3 l = normalize(g_vLightDir);
    float3 v = normalize(In.ViewDir);
    float d = saturate(dot(n, l));
    float3 r = normalize(2.0f * d * n - l);
    float s = pow(saturate(dot(r, v)), g_fSpecularStrength);
    return g_vAmbientColor + (In.Color + float4(g_vLightColor, 0.0f)) * d + float4(g_vSpecularColor * s, 0.0f);
}

float4 NormalPS(PS_INPUT In) : COLOR0
{
    return float4(normalize(In.Normal), 1.0f);
}

float4 PositionPS(PS_INPUT In) : COLOR0
{
    return float4(In.ViewPos, 1.0f);
}

float4 NoLightPS(float2 TexCoord : TEXCOORD0) : COLOR0
{
    return tex2D(g_samScene, TexCoord);
}

technique RenderSceneThreePasses
{
    pass p0
    {
        VertexShader = compile vs_2_0 SceneVS();
        PixelShader = compile ps_2_0 ColorPS();
        CullMode = CW;
        ZEnable = TRUE;
        AlphaBlendEnable = TRUE;
    }
    pass p1
    {
        VertexShader = compile vs_2_0 SceneVS();
        PixelShader = compile ps_2_0 NormalPS();
    }
    pass p2
    {
        VertexShader = compile vs_2_0 SceneVS();
        PixelShader = compile ps_2_0 PositionPS();
    }
}

technique RenderNoLight
{
    pass p0
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 NoLightPS();
        ZEnable = FALSE;
    }
}
