//
// PP_ColorBlurV.fx: vertical Gaussian blur over 13 taps.
//

// Every post-process effect declares the same inputs, so the pass runner can
// bind one set of names to any of them.
float2 g_PixelRatio;
texture g_txSrcColor;
texture g_txSrcNormal;
texture g_txSrcPosition;
texture g_txSceneColor;

sampler g_samSrcColor = sampler_state
{
    Texture = <g_txSrcColor>;
    AddressU = Clamp;
    AddressV = Clamp;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
};

static const float BlurWeights[13] =
{
    0.002216f, 0.008764f, 0.026995f, 0.064759f, 0.120985f, 0.176033f,
    0.199471f,
    0.176033f, 0.120985f, 0.064759f, 0.026995f, 0.008764f, 0.002216f,
};

float4 PostProcessPS(float2 Tex : TEXCOORD0) : COLOR0
{
    // Normal density with a standard deviation of two pixels; the weights are
    // not renormalised.
    float4 c = 0.0f;
    for (int i = -6; i <= 6; i++)
        c += tex2D(g_samSrcColor, Tex + float2(0.0f, i) * g_PixelRatio) * BlurWeights[i + 6];
    return c;
}

technique PostProcess
{
    pass p0
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 PostProcessPS();
        ZEnable = false;
    }
}
