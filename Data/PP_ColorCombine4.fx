//
// PP_ColorCombine4.fx: adds the quarter-size source, enlarged, to the scene.
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

sampler g_samSceneColor = sampler_state
{
    Texture = <g_txSceneColor>;
    AddressU = Clamp;
    AddressV = Clamp;
    MinFilter = Point;
    MagFilter = Linear;
    MipFilter = Linear;
};

float4 Combine(float2 Tex : TEXCOORD0, float2 Tex2 : TEXCOORD1) : COLOR0
{
    return float4(tex2D(g_samSceneColor, Tex2).rgb + tex2D(g_samSrcColor, Tex).rgb, 1.0f);
}

technique PostProcess
{
    pass p0 < float fScaleX = 4.0f; float fScaleY = 4.0f; >
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 Combine();
    }
}
