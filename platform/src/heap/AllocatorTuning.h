#pragma once

// Keeps the C library from handing large freed blocks back to the system. The software
// rasteriser allocates its vertex buffers afresh for every draw, a megabyte and more for
// a detailed mesh; returned at once, each would be page-faulted in again by the next
// draw, and those faults cost a fifth of a frame on the cube scene.
void KeepFreedMemoryForReuse();
