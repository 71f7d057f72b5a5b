// BUILDERPARSER: the five readers of the configuration chain (groups of four lines: key,
// ignored, value, ignored), filling BuilderSettings.
#pragma once
#include <string>

// "_DATA/ini.txt" below the start directory; a missing file ends the builder.
void ReadMainConfiguration();
// The application script (display keys, MAXTILES, DNA, ...); a missing file ends the builder.
void ReadApplicationScript(const std::string& path);
// The application file (directories, prefixed with the start directory); a missing file ends
// the builder.
void ReadApplicationFile(const std::string& path);
// The interface and codec files; a missing one is ignored.
void ReadInterfaceFile(const std::string& path);
void ReadCodecFile(const std::string& path);
