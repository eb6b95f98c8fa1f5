//
// PP_ColorBrightPass.fx: keeps only the brightest parts of the image, tone-mapped.
//

// Every post-process effect declares the same inputs, so the pass runner can
// bind one set of names to any of them.
float2 g_PixelRatio;
texture g_txSrcColor;
texture g_txSrcNormal;
texture g_txSrcPosition;
texture g_txSceneColor;

float g_Luminance = 0.06f;
static const float MIDDLE_GRAY = 0.18f;
static const float WHITE_CUT_OFF = 0.8f;

sampler g_samSrcColor = sampler_state
{
    Texture = <g_txSrcColor>;
    AddressU = Clamp;
    AddressV = Clamp;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
};

float4 BrightPassFilter(float2 Tex : TEXCOORD0) : COLOR0
{
    float3 c = tex2D(g_samSrcColor, Tex).rgb;
    c *= MIDDLE_GRAY / (g_Luminance + 0.001f);
    c *= 1.0f + c / (WHITE_CUT_OFF * WHITE_CUT_OFF);
    c = max(c - 5.0f, 0.0f);
    c /= 10.0f + c;
    return float4(c, 1.0f);
}

technique PostProcess
{
    pass p0
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 BrightPassFilter();
    }
}
