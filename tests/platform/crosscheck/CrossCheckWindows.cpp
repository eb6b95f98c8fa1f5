// The Windows side: Direct3D 9 with no effects (the HLSL effect files do not compile on every
// Direct3D 9 the cross-check runs on), so quads take the fixed texture stages set to compute
// what the 2D effect's pixel shaders compute; and GDI's own account of the selected font.
#include "CrossCheckDevice.h"
#include "Sections.h"

bool CrossCheckDevice::CreatePainter()
{
    return true;
}

void CrossCheckDevice::ReleasePainter() {}

bool CrossCheckDevice::DrawFlat(const PosColVertex* quad)
{
    m_device->SetVertexDeclaration(m_declPosCol);
    m_device->SetTexture(0, nullptr);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    return SUCCEEDED(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof *quad));
}

bool CrossCheckDevice::DrawTextured(IDirect3DTexture9* texture, const PosColTexVertex* quad)
{
    m_device->SetVertexDeclaration(m_declPosColTex);
    m_device->SetTexture(0, texture);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    m_device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    m_device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    m_device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    const bool ok = SUCCEEDED(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof *quad));
    m_device->SetTexture(0, nullptr);
    return ok;
}

bool SelectedFontName(HDC dc, std::string& family, std::string& style)
{
    const UINT size = GetOutlineTextMetricsA(dc, 0, nullptr);
    if (size == 0)
        return false;
    std::string buffer(size, '\0');
    auto* metrics = reinterpret_cast<OUTLINETEXTMETRICA*>(&buffer[0]);
    if (GetOutlineTextMetricsA(dc, size, metrics) == 0)
        return false;
    // The name fields hold offsets from the start of the record.
    family = &buffer[reinterpret_cast<size_t>(metrics->otmpFamilyName)];
    style = &buffer[reinterpret_cast<size_t>(metrics->otmpStyleName)];
    return true;
}
