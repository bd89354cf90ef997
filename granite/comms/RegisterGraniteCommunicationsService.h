#pragma once
// Wiring of the stand-in communications-manager service into the object factory, for the program's start
// and for tests.

// Registers the service under its class id.
void RegisterGraniteCommunicationsService();
// Removes the registration (tests).
void UnregisterGraniteCommunicationsService();
