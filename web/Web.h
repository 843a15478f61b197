#pragma once

// Fills in the openers of the rules and reference-list windows.
void Installer_Fenetres_Web();
