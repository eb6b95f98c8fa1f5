//
// PP_ColorUpFilter4.fx: four times the size in each direction; the linear
// filter interpolates the small image.
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

float4 UpFilterPS(float2 Tex : TEXCOORD0) : COLOR0
{
    return tex2D(g_samSrcColor, Tex);
}

technique PostProcess
{
    pass p0 < float fScaleX = 4.0f; float fScaleY = 4.0f; >
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 UpFilterPS();
    }
}
