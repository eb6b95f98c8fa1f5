#pragma once

// Inside the stand-in layer: the resource table compiled into an executable from its
// resource script. The build generates one table per executable and registers it
// before main runs; FindResourceA and the rest look resources up in it.
#include <cstdint>

struct EmbeddedResource {
    const char* typeName;  // upper-case type name ("MUSIC"), or null for a numeric type
    uint16_t typeId;       // numeric type (10 for RCDATA) when typeName is null
    uint16_t id;           // numeric resource id
    const unsigned char* begin;
    const unsigned char* end;
};

void RegisterEmbeddedResources(const EmbeddedResource* table, int count);
