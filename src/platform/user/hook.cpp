#include "platform/user/hook.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/base/error.h"
#include "platform/base/internal/reset.h"

namespace win {
namespace {

struct Hook {
  HHOOK handle;
  int kind;
  HOOKPROC proc;
  bool removed = false;
};

struct Hooks {
  std::vector<std::shared_ptr<Hook>> chain;  // newest first, all kinds
  std::uintptr_t next = 0x1000;
  int calling = 0;  // removed hooks stay listed until no chain is running
  std::vector<std::shared_ptr<Hook>> running;  // the hook being called, innermost last
};
Hooks& TheHooks() {
  static Hooks h;
  return h;
}

bool Supported(int kind) {
  return kind == WH_CBT || kind == WH_CALLWNDPROC || kind == WH_MOUSE || kind == WH_MSGFILTER;
}

void Sweep() {
  auto& s = TheHooks();
  if (s.calling > 0) return;
  s.chain.erase(
      std::remove_if(s.chain.begin(), s.chain.end(), [](const auto& h) { return h->removed; }),
      s.chain.end());
}

// The next live hook of `kind` after position `from` (exclusive; -1 for the start).
std::shared_ptr<Hook> NextHook(int kind, std::ptrdiff_t from) {
  auto& c = TheHooks().chain;
  for (std::size_t i = std::size_t(from + 1); i < c.size(); ++i)
    if (c[i]->kind == kind && !c[i]->removed) return c[i];
  return nullptr;
}

LRESULT Run(const std::shared_ptr<Hook>& h, int code, WPARAM wp, LPARAM lp) {
  if (!h) return 0;
  auto& s = TheHooks();
  ++s.calling;
  s.running.push_back(h);
  LRESULT r = h->proc(code, wp, lp);
  s.running.pop_back();
  --s.calling;
  Sweep();
  return r;
}

}  // namespace

HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, HINSTANCE, DWORD) {
  if (!Supported(kind)) {
    SetLastError(ERROR_INVALID_HOOK_FILTER);
    return nullptr;
  }
  if (!proc) {
    SetLastError(ERROR_INVALID_FILTER_PROC);
    return nullptr;
  }
  auto& s = TheHooks();
  auto h = std::make_shared<Hook>(Hook{reinterpret_cast<HHOOK>(s.next), kind, proc});
  s.next += 4;
  s.chain.insert(s.chain.begin(), h);
  return h->handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  auto& s = TheHooks();
  for (auto& h : s.chain) {
    if (h->handle == hook && !h->removed) {
      h->removed = true;
      Sweep();
      return TRUE;
    }
  }
  SetLastError(ERROR_INVALID_HOOK_HANDLE);
  return FALSE;
}

// As on Windows the handle is only a hint: inside a hook, the chain goes on from the hook
// being called, whatever handle it passes.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wp, LPARAM lp) {
  auto& s = TheHooks();
  auto& c = s.chain;
  if (!s.running.empty()) hook = s.running.back()->handle;
  for (std::size_t i = 0; i < c.size(); ++i)
    if (c[i]->handle == hook) return Run(NextHook(c[i]->kind, std::ptrdiff_t(i)), code, wp, lp);
  return 0;
}

LRESULT CallHookChain(int kind, int code, WPARAM wp, LPARAM lp) {
  return Run(NextHook(kind, -1), code, wp, lp);
}

bool HasHooks(int kind) { return NextHook(kind, -1) != nullptr; }

BOOL CallMsgFilter(MSG* msg, int code) {
  if (!msg) return FALSE;
  return CallHookChain(WH_MSGFILTER, code, 0, reinterpret_cast<LPARAM>(msg)) != 0;
}

namespace {
// Every hook goes first, so none sees the windows being destroyed; a chain running now keeps
// its entries until it returns.
void ResetHooks() {
  auto chain = TheHooks().chain;
  for (auto& h : chain) UnhookWindowsHookEx(h->handle);
}
[[maybe_unused]] const bool kHooksReset = RegisterReset(ResetStage::Hooks, ResetHooks);
}  // namespace

}  // namespace win
