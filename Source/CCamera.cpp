#include "CCamera.h"

namespace {
const float ASPECT_RATIO = 4.0f / 3.0f;
CCamera* s_pCurrentCamera = nullptr;
}

CCamera::CCamera()
    : m_Position(CVector3::ZERO), m_Target(CVector3::ZERO), m_Direction(CVector3::ZERO),
      m_Up(CVector3::ZERO), m_Right(CVector3::ZERO), m_View(CMatrix::IDENTITY),
      m_FieldOfView(60.0f), m_Near(0.1f), m_Far(2000.0f)
{
    UpdateProjection();
}

void CCamera::SetPosition(const CVector3& position)
{
    m_Position = position;
    UpdateView();
}

void CCamera::SetTarget(const CVector3& target)
{
    m_Target = target;
    UpdateView();
}

void CCamera::SetClipPlanes(float nearDistance, float farDistance)
{
    m_Near = nearDistance;
    m_Far = farDistance;
    UpdateProjection();
}

void CCamera::UpdateProjection()
{
    m_Projection.Perspective(m_FieldOfView, ASPECT_RATIO, m_Near, m_Far);
}

void CCamera::UpdateView()
{
    const CVector3 back = (m_Position - m_Target).Normalized();
    m_Direction = back;
    m_Right = CVector3::CrossNormalized(CVector3::WORLD_UP, back);
    m_Up = CVector3::CrossNormalized(back, m_Right);

    CMatrix axes = CMatrix::IDENTITY;
    axes.SetZAxis(back).SetYAxis(m_Up).SetXAxis(m_Right);
    CMatrix rotation;
    axes.Inverse3x3(rotation);

    CMatrix translation = CMatrix::IDENTITY;
    translation.SetTranslation(-m_Position);

    m_Direction = -back;
    m_View = translation.Multiply(rotation);
}

void CCamera::SetCurrent(CCamera* camera)
{
    s_pCurrentCamera = camera;
}

CCamera* CCamera::GetCurrent()
{
    return s_pCurrentCamera;
}
