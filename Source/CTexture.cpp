#include "CTexture.h"

#include "CGfxD3D.h"
#include "ReportError.h"

#include <d3dx9.h>
#include <new>

bool CTexture::m_bLoadAssertIgnored = false;

CTexture* CTexture::Load(WORD resourceId)
{
    CTexture* p_texture = new (std::nothrow) CTexture();
    if (!p_texture)
        return NULL;

    D3DXCreateTextureFromResourceA(CGfxD3D::GetDevice(), NULL, MAKEINTRESOURCEA(resourceId),
                                   &p_texture->m_pHandle);
    if (!p_texture->m_pHandle && !m_bLoadAssertIgnored)
        m_bLoadAssertIgnored = ReportError("ASSERT: %s, %s - line: %d file: %s",
                                           "p_texture->m_pHandle != NULL", "Failed to load texture",
                                           43, ".\\Source\\CTexture");

    if (p_texture->m_pHandle) {
        D3DSURFACE_DESC desc;
        if (SUCCEEDED(p_texture->m_pHandle->GetLevelDesc(0, &desc))) {
            p_texture->m_Width = desc.Width;
            p_texture->m_Height = desc.Height;
        }
    }
    return p_texture;
}
