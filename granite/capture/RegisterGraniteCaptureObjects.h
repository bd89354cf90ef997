#pragma once
// Wiring of the capture objects into the object factory, for the program's start and for tests.

// Registers every capture object under its class id.
void RegisterGraniteCaptureObjects();
// Removes the registrations (tests).
void UnregisterGraniteCaptureObjects();
