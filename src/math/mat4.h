// TMat4: a 4x4 float matrix, row-major, for the projection of the 3D draw path.
#pragma once

class TMat4 {
public:
    TMat4();  // identity

    // A left-handed perspective projection with an off-centre offset. An offset of magnitude 1
    // puts -10000 in its slot instead of dividing by zero.
    void SetPerspective(float nearZ, float farZ, float fieldOfView, float aspect, float offsetX,
                        float offsetY);

    float m[16];
};
