#pragma once
// The program's own resources beside its dialog templates (quillon.rc); the
// numbers are also used by the resource script, which reads this file.

#define QUILLON_ICON_RESOURCE 1
#define QUILLON_PICTURE_RESOURCE 2

#ifdef __cplusplus
namespace quillon::gui::win32 {
inline constexpr int kIconResource = QUILLON_ICON_RESOURCE;
inline constexpr int kPictureResource = QUILLON_PICTURE_RESOURCE;
}  // namespace quillon::gui::win32
#endif
