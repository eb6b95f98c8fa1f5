//
// Text.fx: the scroller's glyphs, bent onto an arch that rises towards the
// middle of the line and ripples up and down, in the same three passes as
// the scene.
//

float4x4 g_mProj;
float4x4 g_mView;
float4x4 g_mModel;
float4x4 g_mModelView;
float g_fFocalPlaneLength;
float3 g_vLightDir = { -0.25f, 0.25f, 0.5f };
float4 g_vAmbientColor = { 0.5f, 0.215f, 0.0f, 1.0f };
float4 g_vDiffuseColor = { 0.25f, 0.1f, 0.0f, 1.0f };

struct VS_OUTPUT
{
    float4 Position : POSITION;
    float3 Normal : TEXCOORD0;
    float3 ViewPos : TEXCOORD1;
};

struct PS_INPUT
{
    float3 Normal : TEXCOORD0;
    float3 ViewPos : TEXCOORD1;
};

VS_OUTPUT TextVS(float4 Position : POSITION, float3 Normal : NORMAL)
{
    VS_OUTPUT Out;
    // World space: the line is laid out from x = 0 to about x = 256.
    float4 p = mul(Position, g_mModel);
    float t = p.x / 256.0f;
    p.y = p.y + 8.0f * sin(p.x / 16.0f);
    p.z = p.z + 128.0f * sin(t * 3.141592f) - 128.0f;
    p.x = p.x - 128.0f;
    p.y = p.y - 40.0f;
    float3 P = mul(p, g_mView).xyz;
    Out.Position = mul(float4(P, 1.0f), g_mProj);
    // The bend does not turn the normals.
    Out.Normal = mul(Normal, (float3x3)g_mModelView);
    Out.ViewPos = float3(P.x, P.y, P.z / -g_fFocalPlaneLength);
    return Out;
}

float4 ColorPS(PS_INPUT In) : COLOR0
{
    float3 n = normalize(In.Normal);
    float3 l = normalize(g_vLightDir);
    float d = saturate(dot(n, l));
    return g_vAmbientColor + g_vDiffuseColor * d;
}

float4 NormalPS(PS_INPUT In) : COLOR0
{
    return float4(normalize(In.Normal), 1.0f);
}

float4 PositionPS(PS_INPUT In) : COLOR0
{
    return float4(In.ViewPos, 1.0f);
}

technique RenderSceneThreePasses
{
    pass p0
    {
        VertexShader = compile vs_2_0 TextVS();
        PixelShader = compile ps_2_0 ColorPS();
        CullMode = CW;
        ZEnable = TRUE;
        AlphaBlendEnable = TRUE;
    }
    pass p1
    {
        VertexShader = compile vs_2_0 TextVS();
        PixelShader = compile ps_2_0 NormalPS();
    }
    pass p2
    {
        VertexShader = compile vs_2_0 TextVS();
        PixelShader = compile ps_2_0 PositionPS();
    }
}
