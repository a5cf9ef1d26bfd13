// Numbers of the non-string resources, shared by the resource script and the code.
#pragma once

#define IDI_TONALIS 137  // the applet's icon in the Control Panel
