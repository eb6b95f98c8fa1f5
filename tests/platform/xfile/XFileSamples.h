#pragma once

// Small .x files for the mesh tests.

// A unit cube (corners at 0 and 1) with six quad faces, a normal per face, a texture
// coordinate per corner and two materials: faces 0-2 red (with a texture name), 3-5 blue.
// Template declarations and a header object come first, as exporters write them.
inline const char CUBE_TWO_MATERIALS[] = R"(xof 0303txt 0032
// exported by hand
template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}

Header {
 1;
 0;
 1;
}

Mesh Cube {
 8;
 0.0;0.0;0.0;,
 1.0;0.0;0.0;,
 1.0;1.0;0.0;,
 0.0;1.0;0.0;,
 0.0;0.0;1.0;,
 1.0;0.0;1.0;,
 1.0;1.0;1.0;,
 0.0;1.0;1.0;;
 6;
 4;0,3,2,1;,
 4;4,5,6,7;,
 4;0,1,5,4;,
 4;3,7,6,2;,
 4;0,4,7,3;,
 4;1,2,6,5;;

 MeshNormals {
  6;
  0.0;0.0;-1.0;,
  0.0;0.0;1.0;,
  0.0;-1.0;0.0;,
  0.0;1.0;0.0;,
  -1.0;0.0;0.0;,
  1.0;0.0;0.0;;
  6;
  4;0,0,0,0;,
  4;1,1,1,1;,
  4;2,2,2,2;,
  4;3,3,3,3;,
  4;4,4,4,4;,
  4;5,5,5,5;;
 }

 MeshTextureCoords {
  8;
  0.0;0.0;,
  1.0;0.0;,
  1.0;1.0;,
  0.0;1.0;,
  0.25;0.25;,
  0.75;0.25;,
  0.75;0.75;,
  0.25;0.75;;
 }

 MeshMaterialList {
  2;
  6;
  0,0,0,1,1,1;;
  Material Red {
   1.0;0.0;0.0;1.0;;
   8.0;
   0.5;0.5;0.5;;
   0.0;0.0;0.0;;
   TextureFilename {
    "red.png";
   }
  }
  Material Blue {
   0.0;0.0;1.0;0.5;;
   16.0;
   0.25;0.25;0.25;;
   0.1;0.2;0.3;;
  }
 }
}
)";

// Two frames, each holding one triangle: the outer frame moves by (10, 0, 0), the inner one
// (inside it) scales x by 2 and moves by (0, 5, 0). The material is a top-level object that
// the list refers to by name.
inline const char NESTED_FRAMES[] = R"(xof 0302txt 0064
Material Shared {
 0.2;0.4;0.6;1.0;;
 2.0;
 0.0;0.0;0.0;;
 0.0;0.0;0.0;;
}
Frame Outer {
 FrameTransformMatrix {
  1.0,0.0,0.0,0.0,
  0.0,1.0,0.0,0.0,
  0.0,0.0,1.0,0.0,
  10.0,0.0,0.0,1.0;;
 }
 Mesh First {
  3;
  0.0;0.0;0.0;,
  1.0;0.0;0.0;,
  0.0;1.0;0.0;;
  1;
  3;0,1,2;;
  MeshMaterialList {
   1;
   1;
   0;;
   { Shared }
  }
 }
 Frame Inner {
  Mesh Second {
   3;
   0.0;0.0;0.0;,
   1.0;0.0;0.0;,
   0.0;1.0;0.0;;
   1;
   3;0,1,2;;
   MeshNormals {
    1;
    1.0;1.0;0.0;;
    1;
    3;0,0,0;;
   }
  }
  FrameTransformMatrix {
   2.0,0.0,0.0,0.0,
   0.0,1.0,0.0,0.0,
   0.0,0.0,1.0,0.0,
   0.0,5.0,0.0,1.0;;
  }
 }
}
)";
