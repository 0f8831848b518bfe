#include "engine/instance_guard.h"

#include <string>

#include "base/encoding.h"
#include "base/event_log.h"
#include "base/program_end.h"
#include "files/instance_lock.h"

namespace velmio {
namespace {

constexpr char kUserLockName[] = "RizivAvov2";

}  // namespace

bool TakeInstanceLock(InstanceLock& lock, InstanceScope scope) {
  InstanceLockResult result =
      scope == InstanceScope::User ? lock.Acquire(kUserLockName) : lock.AcquireForCurrentFolder();
  return result != InstanceLockResult::AlreadyRunning;
}

int RefuseSecondCopy(EventLog& log, const std::function<void(std::string_view, std::string_view)>& show) {
  log.Write("MESSAGEBOX", "起動エラー: 同時に二つ実行しないでください");
  show(Sjis("同時に二つ実行しないでください"), Sjis("起動エラー"));
  // Refusing to start is a failure, and launchers should be able to tell.
  log.Write("EXIT", std::to_string(kExitFatalError));
  return kExitFatalError;
}

}  // namespace velmio
