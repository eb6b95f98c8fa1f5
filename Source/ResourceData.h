#pragma once

// The bytes of one embedded resource of the executable, by numeric id and type
// name ("MUSIC", or RT_RCDATA). Null when there is no such resource. When size is
// non-null and the resource was found, its size in bytes is stored there. The bytes
// belong to the executable image and stay valid for the life of the process.
const void* LoadResourceData(int id, const char* type, int* size);
