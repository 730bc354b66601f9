// Drawing routines that the control painters share: skin elements, keyed frames, captions and arrows.
// Frames are numbered from 1; an inverted rectangle draws nothing, and so does an empty image.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "SkinDescription.h"

namespace skin {

// Frame `frame` of the element's image, nine-sliced to rect by the element's margins and Tile, keyed
// with the key colour when its Trans is 1, else copied.
void DrawSkinElement(HDC dc, const RECT& rect, int frameCount, int frame, TDataSkinObject& element);
// Frame `frame` of image stretched into rect, keyed with the key colour.
void DrawFrameKeyed(HDC dc, const RECT& rect, int frameCount, int frame, TSkinImage& image);

// Text in rect: measured with align (DT_CENTER centres it across, any other value starts it at the
// left), centred down (one pixel high of centre), in the DC's font and text colour, or the button
// shadow colour when disabled. The background stays.
void DrawCaptionText(HDC dc, const RECT& rect, UINT align, bool enabled, const std::wstring& text);

// An image of the list (none for index -1, no list, or an image not narrower than rect) and a single line
// of text beside it, the two placed together: align 0 from the left, 1 centred, 2 from the right, never
// closer than 2 pixels to the left edge; centred down. The text is cut with an ellipsis at rect's edges,
// drawn in the DC's font and text colour, or the button shadow colour when disabled.
void DrawImageText(HDC dc, const RECT& rect, int align, const std::wstring& text, int imageIndex,
                   HIMAGELIST images, bool enabled);

// Arrow directions.
enum TArrowDirection { adUp, adDown, adLeft, adRight };
// A small arrow of lines around (x, y) in the DC's pen.
void DrawArrow(HDC dc, int x, int y, int direction);

}  // namespace skin
