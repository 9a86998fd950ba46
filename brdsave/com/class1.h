// The one class of the library, its class factory and the module's object count.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>

#include "brdsave.h" // generated from brdsave.idl

namespace brd {

// Objects and server locks alive; the library may be unloaded when both are zero.
std::atomic<long>& LiveObjects() noexcept;
std::atomic<long>& ServerLocks() noexcept;
HINSTANCE LibraryInstance() noexcept;
void SetLibraryInstance(HINSTANCE instance) noexcept;

// The type library embedded in this module, loaded once.
HRESULT EmbeddedTypeLibrary(ITypeLib** out) noexcept;

// Creates a Class1 object and returns the asked-for interface.
HRESULT CreateClass1(REFIID riid, void** out) noexcept;

// The class factory of Class1 (one static object).
IClassFactory* Class1Factory() noexcept;

} // namespace brd
