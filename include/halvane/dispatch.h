// Calls by member name: the late-bound side of every automation object (the plug-in's DMRadio,
// the host's SDK object and screens).
#ifndef HALVANE_DISPATCH_H
#define HALVANE_DISPATCH_H

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "halvane/export.h"
#include "halvane/variant.h"

namespace halvane {

enum class CallKind { Method, PropertyGet, PropertyPut };

// The member name of an object's default value (a text box's text, for instance).
inline constexpr std::string_view kDefaultMember;

class HALVANE_API Dispatch {
 public:
  virtual ~Dispatch() = default;
  // Calls `member` (compared without regard to case). Arguments are passed by reference: a
  // callee may write a new value into one. A property put takes the value as the last argument.
  // An unknown member raises error 438.
  virtual Variant Invoke(std::string_view member, CallKind kind, std::span<Variant> args) = 0;
};

HALVANE_API bool MemberNameEquals(std::string_view a, std::string_view b);

// Calls on a reference that may hold nothing (error 91 then).
HALVANE_API Variant Invoke(const std::shared_ptr<Dispatch>& object, std::string_view member,
                           CallKind kind, std::span<Variant> args = {});
HALVANE_API Variant GetProperty(const std::shared_ptr<Dispatch>& object, std::string_view member);
HALVANE_API void PutProperty(const std::shared_ptr<Dispatch>& object, std::string_view member,
                             Variant value);

// An object whose members are a table of handlers: what hosts and tests build their objects from.
class HALVANE_API MemberTable : public Dispatch {
 public:
  using Handler = std::function<Variant(CallKind, std::span<Variant>)>;
  void Define(std::string name, Handler handler);
  void Remove(std::string_view name);
  bool Has(std::string_view name) const;
  Variant Invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

 private:
  std::map<std::string, Handler, std::less<>> members_;  // lower-case names
};

// Process-wide creation of objects by class name: classes registered in-process first (a host
// registers its SDK class this way), then the class registry file written by DllRegisterServer.
using ClassFactory = std::function<std::shared_ptr<Dispatch>()>;
HALVANE_API void RegisterClassObject(const std::string& progId, ClassFactory factory);
HALVANE_API void RevokeClassObject(const std::string& progId);
// Raises 429 when no class is known under the name or the library can't make one.
HALVANE_API std::shared_ptr<Dispatch> CreateObject(const std::string& progId);

// The class registry: a text file of "ProgId=library path" lines under the XDG data folder
// ($XDG_DATA_HOME/halvane/classes.reg), or the file named by $HALVANE_CLASS_REGISTRY.
HALVANE_API std::string ClassRegistryPath();
HALVANE_API void RegisterLibraryClass(const std::string& progId, const std::string& libraryPath);
HALVANE_API void UnregisterLibraryClass(const std::string& progId);
HALVANE_API std::string RegisteredLibrary(const std::string& progId);  // "" when none

}  // namespace halvane

#endif
