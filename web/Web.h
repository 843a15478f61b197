#pragma once

// Fills in the openers of the rules and reference-list windows. Nothing of the web engine
// starts here: it starts when one of the two windows first opens.
void Installer_Fenetres_Web();
