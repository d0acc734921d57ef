#pragma once

// The names under which the program is reached on the session bus.
namespace AutomationNames {

// The bus name the program owns while it serves automation clients; also
// the interface of each automation object.
inline constexpr char kService[] = "Mumblet.Application";
// The root object: the class factory that makes one object per request.
inline constexpr char kFactoryPath[] = "/";
// The object that lists the library and composes items for scripts.
inline constexpr char kLibraryPath[] = "/Library";
// Each automation object's path is this followed by a serial number.
inline constexpr char kObjectPathPrefix[] = "/Mumblet/Application/";

// The errors a client can get back.
inline constexpr char kErrorNoPalette[] = "Mumblet.Error.NoPalette";
inline constexpr char kErrorNotFound[] = "Mumblet.Error.NotFound";
inline constexpr char kErrorAmbiguous[] = "Mumblet.Error.Ambiguous";
inline constexpr char kErrorLibrary[] = "Mumblet.Error.Library";
inline constexpr char kErrorTooManyObjects[] = "Mumblet.Error.TooManyObjects";

// The command-line switch with which the bus starts the program for a
// client.
inline constexpr char kAutomationSwitch[] = "automation";

} // namespace AutomationNames
