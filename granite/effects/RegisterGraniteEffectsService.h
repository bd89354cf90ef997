#pragma once
// Wiring of the stand-in video-effects engine and its preview object into the object factory, for the
// program's start and for tests.

// Registers the engine and the preview under their class ids.
void RegisterGraniteEffectsService();
// Removes both registrations (tests).
void UnregisterGraniteEffectsService();
