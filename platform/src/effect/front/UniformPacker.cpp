#include "UniformPacker.h"

#include <cstdint>
#include <cstring>

void PackUniformMember(const UniformMember& member, const float* values, size_t count, unsigned char* block,
                       size_t blockSize)
{
    const int elements = member.elements > 0 ? member.elements : 1;
    const size_t perElement = static_cast<size_t>(member.rows) * static_cast<size_t>(member.columns);
    for (int a = 0; a < elements; ++a) {
        for (int r = 0; r < member.rows; ++r) {
            for (int c = 0; c < member.columns; ++c) {
                const size_t index = static_cast<size_t>(a) * perElement + static_cast<size_t>(r * member.columns + c);
                if (index >= count)
                    return;
                size_t offset = member.offset + static_cast<size_t>(a) * member.arrayStride;
                if (member.rows > 1)
                    offset += member.columnsContiguous ? c * member.matrixStride + r * 4u
                                                       : r * member.matrixStride + c * 4u;
                else
                    offset += c * 4u;
                if (offset + 4 > blockSize)
                    return;
                const float v = values[index];
                unsigned char* at = block + offset;
                switch (member.baseType) {
                case UniformBaseType::Float: std::memcpy(at, &v, 4); break;
                case UniformBaseType::Int: {
                    const int32_t i = static_cast<int32_t>(v);
                    std::memcpy(at, &i, 4);
                    break;
                }
                case UniformBaseType::UInt: {
                    const uint32_t u = v > 0.0f ? static_cast<uint32_t>(v) : 0u;
                    std::memcpy(at, &u, 4);
                    break;
                }
                case UniformBaseType::Bool: {
                    const uint32_t b = v != 0.0f ? 1u : 0u;
                    std::memcpy(at, &b, 4);
                    break;
                }
                }
            }
        }
    }
}
