#include "config/CApp.h"

#include <algorithm>

namespace AppsReader {

bool CApp::IsCountryAllowed(int32_t languageId) const {
    return countries && std::find(countries->begin(), countries->end(), languageId) != countries->end();
}

} // namespace AppsReader
