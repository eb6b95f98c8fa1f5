//
// Broken.fx: an effect that does not compile (an undeclared identifier).
//

float4 g_vTint = { 1.0f, 1.0f, 1.0f, 1.0f };

float4 TintPS(float2 Tex : TEXCOORD0) : COLOR0
{
    return g_vTint * g_fUndeclaredBrightness;
}

technique PostProcess
{
    pass p0
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 TintPS();
    }
}
