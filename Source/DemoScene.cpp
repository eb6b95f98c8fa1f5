#include "CCamera.h"
#include "CGfxD3D.h"
#include "CMesh.h"
#include "CPostProcess.h"
#include "CubeScene.h"
#include "Demo.h"
#include "FrameClock.h"

namespace {

// Phases that only grow while the main part is drawn, and the light that points
// from the surfaces toward the viewer.
float s_SpinPhase = 0.0f;
float s_PathPhase = 0.0f;
const CVector3 LIGHT_DIRECTION(0.0f, 0.0f, 1.0f);

}  // namespace

void Demo::DrawScene()
{
    const float dt = GetFrameTime();
    s_SpinPhase += 0.8f * dt;
    s_PathPhase += dt;
    m_CubeRampTime += 0.2f * dt;

    if (!m_pSceneEffect)
        return;
    ID3DXEffect* pEffect = m_pSceneEffect;
    pEffect->SetFloat("g_fFocalPlaneLength", m_pCamera->GetDepthRange());
    pEffect->SetMatrix("g_mProj", m_pCamera->GetProjection().AsD3DX());
    pEffect->SetFloatArray("g_vLightDir", &LIGHT_DIRECTION.x, 3);
    pEffect->SetTechnique("RenderSceneThreePasses");
    CGfxD3D::GetDevice()->SetVertexDeclaration(m_pVertexDecl);

    UINT passes = 0;
    if (FAILED(pEffect->Begin(&passes, 0)))
        return;

    const CubePhases phases = {s_SpinPhase, s_PathPhase, m_CubeRampTime};
    for (UINT pass = 0; pass < passes; ++pass) {
        CPostProcess::SetSceneTarget(static_cast<int>(pass));
        if (!CGfxD3D::BeginScene())
            continue;
        for (int instance = 0; instance < CUBE_INSTANCE_COUNT; ++instance) {
            const CMatrix model = CubeInstanceTransform(instance, phases);
            CMatrix modelView = model;
            modelView.Multiply(m_pCamera->GetView());
            pEffect->SetMatrix("g_mModel", model.AsD3DX());
            pEffect->SetMatrix("g_mModelView", modelView.AsD3DX());

            if (!m_pCubeMesh)
                continue;
            for (DWORD k = 0; k < m_pCubeMesh->m_NumMaterials; ++k) {
                const D3DMATERIAL9& material = m_pCubeMesh->m_pMaterials[k];
                pEffect->SetVector("g_vDiffuseColor",
                                   reinterpret_cast<const D3DXVECTOR4*>(&material.Diffuse));
                pEffect->SetFloat("g_fSpecularStrength", material.Power);
                pEffect->SetVector("g_vSpecularColor",
                                   reinterpret_cast<const D3DXVECTOR4*>(&material.Specular));
                pEffect->BeginPass(pass);
                m_pCubeMesh->m_pMesh->DrawSubset(k);
                pEffect->EndPass();
            }
        }
        CGfxD3D::EndScene();
    }
    pEffect->End();
}
