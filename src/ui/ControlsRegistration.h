#pragma once
// Makes the toolkit's controls available to dialog templates: each class under its own name
// ("CTransparentImageButton", "CHoverComboBox", ...) and, so that every window looks the same, in place of
// the plain classes "Button", "Static", "CheckBox", "Radio", "Slider", "ComboBox", "Progress", "Spin" and
// "Edit". Called once at start, before the first window is made.
//
// Template attributes the toolkit understands besides the common ones:
//   images="n,h,p,d"         image-cache ids of the normal, hover, pressed and disabled images (buttons)
//   checkedimages="n,h,p,d"  the checked state's images (toggle buttons)
//   orientation="vertical"   sliders and progress bars
//   linestep, pagestep       sliders
//   notify="1"               labels that report clicks; align="left|center|right"; wrap="1"
//   group="n"                radio buttons that uncheck each other
//   itemheight="n"           combo boxes
//   buddy="id"               spin controls that use the window's edit field with that id
#include <string>
#include <vector>

// Registers the classes; with replaceBuiltIns false only the toolkit's own names are added.
void RegisterToolkitControls(bool replaceBuiltIns = true);
// Takes every registration of RegisterToolkitControls back (tests).
void UnregisterToolkitControls();
// The class names RegisterToolkitControls adds.
std::vector<std::string> ToolkitControlClassNames(bool withBuiltIns);
