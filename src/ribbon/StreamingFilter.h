#pragma once
// Which programs that start streaming from the camera bring the ribbon forward. An installer testing the
// camera, a screen saver showing it and the desktop's gadget host are not the user starting a call.
#include <string>

namespace StreamingFilter {

// `program` is the streaming program's path (either separator style) or bare file name.
bool BringsRibbonForward(const std::string& program);

} // namespace StreamingFilter
