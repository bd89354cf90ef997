#include "config/CVidoraOEMReader.h"

namespace OEMReader {

void CVidoraOEMReader::Clear() {
    COEMReader::Clear();
    picturesFolder_.clear();
    videosFolder_.clear();
}

void CVidoraOEMReader::ReadDocument(const CXMLParser& parser, XmlNode root) {
    COEMReader::ReadDocument(parser, root);
    XmlNode directories = parser.GetChild(root, "Directories");
    std::vector<XmlNode> pictures = EntriesNamed(parser, directories, "Pictures");
    if (!pictures.empty())
        picturesFolder_ = parser.GetText(pictures.front());
    std::vector<XmlNode> videos = EntriesNamed(parser, directories, "Videos");
    if (!videos.empty())
        videosFolder_ = parser.GetText(videos.front());
}

} // namespace OEMReader
