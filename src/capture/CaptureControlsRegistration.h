#pragma once
// Makes the capture window's own controls available to dialog templates by class name:
// "CSpecialCaptureButton", "CSpecialPictureButton" and "CMotionSliderCtrl". The buttons' attribute:
// images="n,p,hm,ho,d", the image-cache ids of the normal, pressed, hover-over-main, hover-over-options and
// disabled images.
// Safe to call more than once; the program calls it at start, with the toolkit's own controls.
void RegisterCaptureControls();
void UnregisterCaptureControls();
