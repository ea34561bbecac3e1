// Saving the screen picture as an image file: the format by extension and the
// question before an existing file is replaced.
#pragma once

#include <string>

namespace sism {

class UserInterface;

inline constexpr const char* kImageFilter = "PNG file(*.png)|*.png|BMP file(*.bmp)|*.bmp";
inline constexpr const char* kImageDefaultExt = ".png";

enum class ImageFormat { Png, Bmp };
// BMP for a ".bmp" extension in any case, PNG otherwise.
ImageFormat ImageFormatFor(const std::string& path);

// True when the file may be written: it does not exist, or the user agreed to replace it.
bool ConfirmImageOverwrite(const std::string& path, UserInterface& ui);

}  // namespace sism
