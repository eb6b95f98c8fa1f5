//
// PP_ColorDownFilter4.fx: a quarter of the size in each direction, each output
// pixel the average of its 4 x 4 source block.
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

float4 DownFilter(float2 Tex : TEXCOORD0) : COLOR0
{
    // The quad puts each output pixel on the corner shared by the four middle
    // texels of its block, so these 16 taps land on the 16 texel centres.
    float4 c = 0.0f;
    for (int x = 0; x < 4; x++)
    {
        for (int y = 0; y < 4; y++)
        {
            float2 offset = float2(1.5f - x, y - 1.5f);
            c += tex2D(g_samSrcColor, Tex + offset * g_PixelRatio);
        }
    }
    return c / 16.0f;
}

technique PostProcess
{
    pass p0 < float fScaleX = 0.25f; float fScaleY = 0.25f; >
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 DownFilter();
    }
}
