// The ids of everything compiled into Skelvane: Skelvane.rc lists each file under
// its name here and the code loads it by the same name. The resource compiler and
// the Linux embedding read this file too, so it holds only #define lines.
#ifndef SKELVANE_RESOURCE_IDS_H
#define SKELVANE_RESOURCE_IDS_H

// The song and the pictures.
#define RESOURCE_MUSIC 103
#define RESOURCE_LOGO 101
#define RESOURCE_BACKGROUND 125
#define RESOURCE_TITLE 126
#define RESOURCE_CUBE_MESH 116

// The effect files: the scene, the text, the screen quads and the post-processing chain.
#define RESOURCE_SCENE_EFFECT 106
#define RESOURCE_PP_COLOR_BLOOM_H 108
#define RESOURCE_PP_COLOR_BLOOM_V 109
#define RESOURCE_PP_COLOR_BRIGHT_PASS 110
#define RESOURCE_PP_COLOR_COMBINE4 111
#define RESOURCE_PP_COLOR_DOWN_FILTER4 112
#define RESOURCE_PP_COLOR_UP_FILTER4 113
#define RESOURCE_2D_EFFECT 114
#define RESOURCE_PP_COLOR_COMBINE 115
#define RESOURCE_PP_DOF_COMBINE 118
#define RESOURCE_PP_COLOR_BLUR_V 119
#define RESOURCE_PP_COLOR_BLUR_H 120
#define RESOURCE_TEXT_EFFECT 122

#endif
