#pragma once
// The program's own settings: the settings root, every application-wide value with its default, the
// per-camera values, the attached-camera list, the feature-seen flags and the seeding of defaults at start.
// Every call goes to the store; nothing is cached.
#include "platform/HResult.h"

#include <cstdint>
#include <string>
#include <vector>

class CVidoraSettings {
public:
    // The settings root under HKEY_CURRENT_USER: the OEM document's, else "Software\\Brenmoor\\Vidora10".
    static std::string GetSettingsRoot();

    // Numbers and strings under the root, with the default for a missing value.
    static uint32_t ReadRootNumber(const char* name, uint32_t defaultValue);
    static HRESULT WriteRootNumber(const char* name, uint32_t value);
    static std::string ReadRootString(const char* name, const std::string& defaultValue);
    static HRESULT WriteRootString(const char* name, const std::string& value);

    // Application-wide values.
    static uint32_t GetShadeFirstTimeUse();
    static HRESULT SetShadeFirstTimeUse(uint32_t v);
    static uint32_t GetShowSysTrayIcon();
    static HRESULT SetShowSysTrayIcon(uint32_t v);
    static uint32_t GetVIVFirstTimeUse();
    static HRESULT SetVIVFirstTimeUse(uint32_t v);
    // The date of the last calibration ("CalibrationLastRun"); a date stored only as "CalibrationLastRan"
    // counts too, since both names are in use for the one value. Written under "CalibrationLastRun".
    static std::string GetCalibrationLastRun();
    static HRESULT SetCalibrationLastRun(const std::string& v);
    static std::string GetCheckUpdatesLastRun();
    static HRESULT SetCheckUpdatesLastRun(const std::string& v);
    static std::string GetVideoEffectsCategory();
    static std::string GetVideoEffectsModelXML();
    static std::string GetVideoEffectsModelDataFolder();
    static HRESULT SetVideoEffectsModelDataFolder(const std::string& v);
    static std::string GetPrivacyShadeFilename();
    static HRESULT SetPrivacyShadeFilename(const std::string& v);
    static std::string GetPrivacyShadeBrowseFolder();
    static HRESULT SetPrivacyShadeBrowseFolder(const std::string& v);
    static std::string GetPrivacyShadeBrowseFolderDefault();
    static HRESULT SetPrivacyShadeBrowseFolderDefault(const std::string& v);
    static uint32_t GetFirstLaunch();
    static uint32_t GetOEMSetDefDev();
    static HRESULT SetOEMSetDefDev(uint32_t v);
    static std::string GetWebUnzipPath();
    static std::string GetPhotoFolder();
    static HRESULT SetPhotoFolder(const std::string& v);
    static std::string GetMovieFolder();
    static HRESULT SetMovieFolder(const std::string& v);
    // Read and written together; -1 means no stored position.
    static void GetRibbonPos(int32_t& x, int32_t& y);
    static HRESULT SetRibbonPos(int32_t x, int32_t y);
    static uint32_t GetShadeBehavior();
    static HRESULT SetShadeBehavior(uint32_t v);
    static uint32_t GetPrivacyShadeToggleOpen();
    static HRESULT SetPrivacyShadeToggleOpen(uint32_t v);
    static uint32_t GetAlwaysOnTop();
    static HRESULT SetAlwaysOnTop(uint32_t v);
    static uint32_t GetPhotoMovieAutoPreview();
    static HRESULT SetPhotoMovieAutoPreview(uint32_t v);
    static uint32_t GetGalleryView();
    static HRESULT SetGalleryView(uint32_t v);
    static uint32_t GetSnapDeskGalleryOpen();
    static HRESULT SetSnapDeskGalleryOpen(uint32_t v);
    // The capture window's position (0, 0 when none is stored).
    static void GetSnapDeskCapturePos(int32_t& x, int32_t& y);
    static HRESULT SetSnapDeskCapturePos(int32_t x, int32_t y);
    static uint32_t GetSnapDeskCaptureXRes();
    static HRESULT SetSnapDeskCaptureXRes(uint32_t v);
    static uint32_t GetSnapDeskCaptureYRes();
    static HRESULT SetSnapDeskCaptureYRes(uint32_t v);
    // What the photo and movie options edit.
    static uint32_t GetMovieIncludeAudio();
    static HRESULT SetMovieIncludeAudio(uint32_t v);
    static uint32_t GetUseMovieTimpstamp();
    static HRESULT SetUseMovieTimpstamp(uint32_t v);
    static uint32_t GetUseMovieCountdown();
    static HRESULT SetUseMovieCountdown(uint32_t v);
    static uint32_t GetMovieCountdown();
    static HRESULT SetMovieCountdown(uint32_t v);
    static uint32_t GetUseMovieDuration();
    static HRESULT SetUseMovieDuration(uint32_t v);
    static uint32_t GetMovieDuration();
    static HRESULT SetMovieDuration(uint32_t v);
    static uint32_t GetUsePhotoCountdown();
    static HRESULT SetUsePhotoCountdown(uint32_t v);
    static uint32_t GetPhotoCountdown();
    static HRESULT SetPhotoCountdown(uint32_t v);
    static uint32_t GetUsePhotoTimpstamp();
    static HRESULT SetUsePhotoTimpstamp(uint32_t v);
    // As stored; the photo options keep it within 20..100.
    static uint32_t GetJPEGQuality();
    static HRESULT SetJPEGQuality(uint32_t v);
    static uint32_t GetUseMotionDetection();
    static HRESULT SetUseMotionDetection(uint32_t v);
    static uint32_t GetMotionDuration();
    static HRESULT SetMotionDuration(uint32_t v);
    static uint32_t GetMotionSensitivity();
    static HRESULT SetMotionSensitivity(uint32_t v);
    static std::string GetVideoCallingIMApp();
    static HRESULT SetVideoCallingIMApp(const std::string& v);
    static uint32_t GetDontWarnUVC();
    static HRESULT SetDontWarnUVC(uint32_t v);
    // The last number used in a capture's file name, per kind (pictures, movies, motion clips).
    static uint32_t GetPictureIndex();
    static HRESULT SetPictureIndex(uint32_t v);
    static uint32_t GetMovieIndex();
    static HRESULT SetMovieIndex(uint32_t v);
    static uint32_t GetMotionIndex();
    static HRESULT SetMotionIndex(uint32_t v);
    // The mail program captures are sent with; empty for the desktop's default.
    static std::string GetEmailClient();
    static HRESULT SetEmailClient(const std::string& v);

    // Per-camera values; an empty camera name reads the defaults and writes nothing.
    static std::string GetCameraKey(const std::string& cameraName);
    static uint32_t GetSTMode(const std::string& cameraName);
    static uint32_t GetPreviousSTMode(const std::string& cameraName);
    // Keeps the mode it replaces as the previous mode.
    static HRESULT SetSTMode(const std::string& cameraName, uint32_t mode);
    static uint32_t GetSTOption(const std::string& cameraName);
    static HRESULT SetSTOption(const std::string& cameraName, uint32_t option);

    // The number shared with the SunTune component, in a volatile key.
    static HRESULT SetSTAppUI(uint16_t productId, uint32_t value);

    static HRESULT MarkCameraAttached(uint16_t productId);
    // Product ids of every camera model ever attached.
    static std::vector<uint32_t> GetAttachedCameras();

    static HRESULT MarkFeatureSeen(const std::string& name);
    static bool IsFeatureSeen(const std::string& name);

    // Writes the seeded application-wide defaults that are missing or of the wrong type; OEM defaults win
    // over the built-in ones. Does nothing when the root key cannot be opened.
    static void SeedDefaults();

    static constexpr const char* kSunTuneKey = "Software\\Brenmoor\\SunTune";
    static constexpr const char* kModelXmlDefault = "<CSIDL_COMMON_APPDATA>/Brenmoor/Vidora/ModelData/"
                                                    "Dinosaur_{17F8B0B2-2ED7-4E38-809C-C42BC55111ED}/"
                                                    "Dinosaur_{17F8B0B2-2ED7-4E38-809C-C42BC55111ED}.xml";
    static constexpr const char* kModelFolderDefault = "<CSIDL_COMMON_APPDATA>/Brenmoor/Vidora/ModelData";
    static constexpr const char* kShadeFileDefault =
        "<CSIDL_COMMON_APPDATA>/Brenmoor/Vidora/PrivacyShades/ps_default.jpg";
    static constexpr const char* kShadeFolderDefault = "<CSIDL_COMMON_APPDATA>/Brenmoor/Vidora/PrivacyShades";

    // "<NAME>rest" defaults in their stored (expanded) form: "<" and ">" become "%", then the OEM path
    // placeholders are expanded.
    static std::string ExpandDefaultPath(const std::string& text);
};
