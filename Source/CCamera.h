#pragma once

#include "CMatrix.h"
#include "CVector.h"

// A look-at camera that keeps its view and projection matrices current.
class CCamera {
public:
    CCamera();

    void SetPosition(const CVector3& position);
    void SetTarget(const CVector3& target);
    void SetClipPlanes(float nearDistance, float farDistance);
    void UpdateProjection();
    void UpdateView();

    float GetDepthRange() const { return m_Far - m_Near; }
    const CMatrix& GetView() const { return m_View; }
    const CMatrix& GetProjection() const { return m_Projection; }
    const CVector3& GetPosition() const { return m_Position; }
    const CVector3& GetTarget() const { return m_Target; }
    const CVector3& GetDirection() const { return m_Direction; }
    const CVector3& GetUp() const { return m_Up; }
    const CVector3& GetRight() const { return m_Right; }
    float GetNear() const { return m_Near; }
    float GetFar() const { return m_Far; }

    static void SetCurrent(CCamera* camera);
    static CCamera* GetCurrent();

private:
    CVector3 m_Position;
    CVector3 m_Target;
    CVector3 m_Direction;
    CVector3 m_Up;
    CVector3 m_Right;
    CMatrix m_View;
    CMatrix m_Projection;
    float m_FieldOfView;
    float m_Near;
    float m_Far;
};
