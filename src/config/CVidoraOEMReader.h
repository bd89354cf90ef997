#pragma once
// The product's OEM document: everything of the common document plus the default capture folders of the
// section "Directories" (children "Pictures" and "Videos", names compared without regard to case). The
// folder texts are kept as written; the OEM information expands and creates them.
#include "config/COEMReader.h"

namespace OEMReader {

class CVidoraOEMReader : public COEMReader {
public:
    // Empty when the document gives none.
    const std::string& GetPicturesFolder() const { return picturesFolder_; }
    const std::string& GetVideosFolder() const { return videosFolder_; }

protected:
    void ReadDocument(const CXMLParser& parser, XmlNode root) override;
    void Clear() override;

private:
    std::string picturesFolder_;
    std::string videosFolder_;
};

} // namespace OEMReader
