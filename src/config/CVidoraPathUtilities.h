#pragma once
#include "config/CPathUtilities.h"

// Adds "%mypictures%" and "%myvideos%" (both created when missing); without a videos folder, the documents
// folder joined with the My-Videos name is created and used.
class CVidoraPathUtilities : public CPathUtilities {
public:
    std::string ExpandPath(const std::string& text) override;
    void SetMyVideosName(const std::string& name) { myVideosName_ = name; }
    const std::string& GetMyVideosName() const { return myVideosName_; }

private:
    std::string myVideosName_ = "My Videos";
};
