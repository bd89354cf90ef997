#pragma once
// An effect model's package: what the effects engine draws for one model.
//
// Where the models live. Every model has a folder of its own below the effects data folder (the setting
// "VideoEffectsModelDataFolder", by default <all-users data>/Brenmoor/Vidora/ModelData, that is
// share/Brenmoor/Vidora/ModelData beside the program's folder). Inside it, <Folder>/<Folder>.xml describes
// the model:
//
//   <EffectModel Type="Accessory" Id="vidora.accessory.roundglasses">   Type: Avatar | Accessory | Fun
//     <ImageFile>thumbnail.png</ImageFile>                              the catalog's thumbnail
//     <PackageFile>RoundGlasses.vfx</PackageFile>                       this package
//     <PreviewFile>preview.png</PreviewFile>                            optional, a larger picture
//     <Name>
//       <String LanguageId="1033" StringValue="Round glasses"/>
//       <String LanguageId="1031" StringValue="Runde Brille"/>
//     </Name>
//     <Description> ... the same shape as Name ... </Description>
//     <Properties><ModelComplexity>1</ModelComplexity></Properties>
//   </EffectModel>
//
// File names in a description are relative to the model's folder. The program hands the engine the package
// as a full path (model folder + "/" + PackageFile), together with the Type and the Id:
// LoadModel(package, type, id), which the effects facade forwards as EffectsCall24.
//
// The package is a small JSON document (UTF-8, at most 64 KiB) with an overlay, a colour filter, or both:
//
//   { "format": 1,
//     "overlay": { "image": "glasses.png",       PNG (or any picture Qt reads) beside the package
//                  "centerX": 0.5, "centerY": 0.4,  where the picture's centre sits, as fractions of the
//                  frame "width": 0.45,                 the picture's width as a fraction of the frame's
//                  width;
//                                                 its height follows the picture's aspect ratio
//                  "opacity": 1.0 },              optional, 0..1
//     "filter": "sepia" }                         grayscale | sepia | mirror | vivid
//
// Overlays are drawn in the order avatar, accessory, fun, so an accessory sits on top of an avatar. The
// engine mirrors an overlay's position when it is told the picture is mirrored.
#include "platform/HResult.h"

#include <QImage>

#include <string>

namespace Granite {

enum class EffectFilter { None, Grayscale, Sepia, Mirror, Vivid };

struct EffectOverlay {
    QImage image; // decoded, never null when the package has an overlay
    double centerX = 0.5, centerY = 0.5, width = 0.5, opacity = 1.0;
};

class CEffectPackage {
public:
    // Reads and checks a package. A file that is missing, too large, not JSON, of another format, names
    // no overlay and no filter, an unknown filter, a placement out of range or a picture that cannot be
    // decoded gives E_INVALIDARG with *why saying which (when given).
    static HRESULT Load(const std::string& path, CEffectPackage* package, std::string* why = nullptr);

    static constexpr int kFormat = 1;
    static constexpr qint64 kMaxSize = 64 * 1024;

    bool HasOverlay() const { return !overlay_.image.isNull(); }
    const EffectOverlay& Overlay() const { return overlay_; }
    EffectFilter Filter() const { return filter_; }

private:
    EffectOverlay overlay_;
    EffectFilter filter_ = EffectFilter::None;
};

} // namespace Granite
