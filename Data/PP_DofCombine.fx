//
// PP_DofCombine.fx: depth of field. Near pixels keep the sharp scene, far ones
// (and the cleared background) take the blurred image.
//

// Every post-process effect declares the same inputs, so the pass runner can
// bind one set of names to any of them.
float2 g_PixelRatio;
texture g_txSrcColor;
texture g_txSrcNormal;
texture g_txSrcPosition;
texture g_txSceneColor;

float g_fFocalPlane = 0.5f;
float g_fFocalScale = 4.0f;

sampler g_samSrcColor = sampler_state
{
    Texture = <g_txSrcColor>;
    AddressU = Clamp;
    AddressV = Clamp;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
};

sampler g_samSceneColor = sampler_state
{
    Texture = <g_txSceneColor>;
    AddressU = Clamp;
    AddressV = Clamp;
    MinFilter = Point;
    MagFilter = Linear;
    MipFilter = Linear;
};

sampler g_samSrcPosition = sampler_state
{
    Texture = <g_txSrcPosition>;
    AddressU = Clamp;
    AddressV = Clamp;
    MinFilter = Point;
    MagFilter = Linear;
    MipFilter = Linear;
};

float4 DofCombine(float2 Tex : TEXCOORD0, float2 Tex2 : TEXCOORD1) : COLOR0
{
    float z = 1.0f - tex2D(g_samSrcPosition, Tex).z;
    float3 blurred = tex2D(g_samSrcColor, Tex).rgb;
    float3 sharp = tex2D(g_samSceneColor, Tex2).rgb;
    float blur = (g_fFocalPlane - z) * g_fFocalScale;
    return float4(lerp(sharp, blurred, saturate(blur)), 1.0f);
}

technique PostProcess
{
    pass p0
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 DofCombine();
        ZEnable = false;
    }
}
