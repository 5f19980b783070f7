#pragma once
// The About box's pictures, drawn by the program's own generators at start: three 256 x 180 scenes for
// the opening sequence, the name plate (dim and lit, 114 x 41) and the close button (dim and lit,
// 85 x 40).

#include <QImage>

namespace AboutPictures {

constexpr int SceneWidth = 256, SceneHeight = 180;
constexpr int PlateWidth = 114, PlateHeight = 41;
constexpr int CloseWidth = 85, CloseHeight = 40;

// Scene 0: a four-colour blend with the program's name; scene 1: the colour wheel on a dark blend;
// scene 2: a star burst. The same pictures every time (the burst has a fixed seed).
QImage Scene(int index);
QImage Plate(bool lit);
QImage CloseButton(bool lit);

} // namespace AboutPictures
