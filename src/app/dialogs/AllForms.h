#pragma once
// Every secondary window of the editor, for the units that create them or reach them through their
// globals (fToolBox, fGradient, ...).

#include "app/dialogs/JpegQuality.h"
#include "app/dialogs/TransparentPaste.h"
#include "app/dialogs/ToolBox.h"
#include "app/dialogs/GradientDesigner.h"
#include "app/dialogs/FilterDesigner.h"
#include "app/dialogs/SelectionAction.h"
#include "app/dialogs/TextDialog.h"
#include "app/dialogs/TextureDialog.h"
#include "app/dialogs/SizeDialog.h"
#include "app/dialogs/TileTester.h"
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/GifTransparency.h"
#include "app/dialogs/MultiGradientDesigner.h"
#include "app/dialogs/ShapeAdjust.h"
#include "app/dialogs/GradientPointOptions.h"
