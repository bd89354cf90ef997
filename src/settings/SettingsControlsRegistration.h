#pragma once
// Makes the settings window's own controls available to dialog templates by class name: "CPanTiltCtrl",
// the pan and tilt pad (it takes its reference to the device-manager facade itself; no attributes).
// Safe to call more than once; the program calls it at start, with the toolkit's own controls.
void RegisterSettingsControls();
void UnregisterSettingsControls();
