#pragma once
// Class and interface ids of the maker's capture objects. Each object the capture window creates has a class
// id of its own; the video-capture object is made by the camera enumerator (createCapture) and the audio
// capture by the audio-device enumerator (createAudio), but both can also be asked for by id.
#include "platform/Unknown.h"

// Video preview and capture (events DIID_IVideoEvents).
inline const Guid CLSID_VideoCapture = "{E1FC9DB3-6A38-4C91-87F6-BCA6847C1169}";
inline const Guid IID_IVideoCapture = "{C22BB85C-0741-46DA-A432-21629BF2BE1F}";
// The audio-device enumerator, the capture window's support object (no events).
inline const Guid CLSID_AudioDeviceEnumerator = "{5983E34E-EEC5-4AB9-8AB1-6AEDC8C89FD6}";
inline const Guid IID_IAudioDeviceEnumerator = "{D6ACCED8-A0C3-498D-91C4-A00D102026DE}";
// The camera enumerator, the first object made when the capture window sets up (no events).
inline const Guid CLSID_CameraEnumerator = "{F91F8133-4E74-44E1-9C68-2742BD182544}";
inline const Guid IID_ICameraEnumerator = "{7B7D6029-7006-4820-97C7-170B27387C36}";
// The video display, the second one (no events).
inline const Guid CLSID_VideoDisplay = "{42573615-C049-4924-9E61-751CC2B8D446}";
inline const Guid IID_IVideoDisplay = "{7F986971-4F7A-4E35-AD48-4DA7B01438EB}";
// The motion detector (events DIID_IMotionEvents).
inline const Guid CLSID_MotionDetector = "{D2D8BABB-CCFC-4C0F-BC51-C7D35764ED96}";
inline const Guid IID_IMotionDetector = "{0A1F51B9-8495-47D2-9425-B29A7789B028}";
// Still capture, one per photo (events DIID_IStillEvents).
inline const Guid CLSID_StillCapture = "{9DB9BD35-C945-4B21-B252-CC082DA9384C}";
inline const Guid IID_IStillCapture = "{4DC76A36-0B24-4C69-94E0-5E9C74AE22F7}";
// The movie recorder (events DIID_IMovieEvents).
inline const Guid CLSID_MovieRecorder = "{DBC07BB9-D0BC-42BC-BBE4-4908AC5DB033}";
inline const Guid IID_IMovieRecorder = "{79B7898E-2CFF-4AE2-BA52-478F566D65A2}";
// An audio capture made by the audio-device enumerator.
inline const Guid IID_IAudioCapture = "{6CF791BB-5D5D-411A-9D9A-3662D0962084}";
