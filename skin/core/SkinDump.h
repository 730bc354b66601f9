// A stable, readable text of everything a skin description was read into: every member of every data
// object, one per line, in a fixed order. Used by the skindump tool and to pin a skin's reading in tests.
#pragma once
#include <string>

#include "SkinDescription.h"

namespace skin {

// Lines "Object.Member = value" (LF ends each line). Integers in decimal, colours as "$" and eight
// upper-case hexadecimal digits, Booleans true/false, texts in double quotes, a null element as
// "Element = nil". Images: "(none)", or the entry name in quotes followed by its size "WxH", "missing"
// when the package gave no usable bitmap, then " part(l,t,r,b)" for a part of a bitmap, " mirrored",
// and for the composed combo-box strip "combo{...}" with what it is made of.
std::string DumpSkinDescription(const TSkinDescription& skin);

}  // namespace skin
