#include "ui/win32/accessible.h"

// After windows.h:
#include <oleacc.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/wide.h"
#include "ui/application.h"
#include "ui/form.h"
#include "ui/win32/form_window.h"

namespace ui::win32 {
namespace {

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};

// A text property, or none when it is empty.
HRESULT put(const std::string& utf8, BSTR* out) {
  const std::wstring wide = platform::win32::wide(utf8);
  *out = wide.empty() ? nullptr : ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return wide.empty() ? DISP_E_MEMBERNOTFOUND : *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT put(long value, VARIANT* out) {
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

// In the order of ui::AccessibleRole.
constexpr long kRoles[] = {ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_GRAPHIC, ROLE_SYSTEM_PUSHBUTTON};

}  // namespace

// The window itself is CHILDID_SELF, the model's items are the children 1 to
// n, read afresh at each call; the standard client object tells the window's
// place, parent and focus. It ends in its Release, never through a pointer to
// its interface, which has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class Accessibility::Object final : public IAccessible {
 public:
  Object(const FormWindow& window, IAccessible* standard) : window_(&window), standard_(standard) {}
  void disconnect() { window_ = nullptr; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    const bool known = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible;
    *out = known ? static_cast<IAccessible*>(this) : nullptr;
    return known ? (AddRef(), S_OK) : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;  // NOLINT(cppcoreguidelines-owning-memory): COM's own end of an object
    }
    return left;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* /*count*/) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT /*index*/, LCID /*locale*/, ITypeInfo** /*info*/) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID /*iid*/, LPOLESTR* /*names*/, UINT /*count*/, LCID /*locale*/,
                             DISPID* /*ids*/) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID /*id*/, REFIID /*iid*/, LCID /*locale*/, WORD /*flags*/,
                      DISPPARAMS* /*arguments*/, VARIANT* /*result*/, EXCEPINFO* /*exception*/,
                      UINT* /*wrong*/) override {
    return E_NOTIMPL;
  }

  STDMETHODIMP get_accName(VARIANT id, BSTR* out) override { return get(id, out, &Entry::name); }
  STDMETHODIMP get_accDescription(VARIANT id, BSTR* out) override {
    return get(id, out, &Entry::help);
  }
  STDMETHODIMP get_accRole(VARIANT id, VARIANT* out) override { return get(id, out, &Entry::role); }
  STDMETHODIMP get_accState(VARIANT id, VARIANT* out) override {
    return get(id, out, &Entry::state);
  }
  STDMETHODIMP get_accDefaultAction(VARIANT id, BSTR* out) override {
    return get(id, out, &Entry::action);
  }
  STDMETHODIMP get_accValue(VARIANT /*id*/, BSTR* out) override { return put({}, out); }
  STDMETHODIMP get_accHelp(VARIANT /*id*/, BSTR* out) override { return put({}, out); }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT /*id*/, BSTR* out) override { return put({}, out); }
  STDMETHODIMP get_accHelpTopic(BSTR* out, VARIANT /*id*/, long* /*topic*/) override {
    return put({}, out);
  }
  STDMETHODIMP get_accSelection(VARIANT* out) override { return standard_->get_accSelection(out); }
  STDMETHODIMP get_accParent(IDispatch** out) override { return standard_->get_accParent(out); }
  STDMETHODIMP get_accFocus(VARIANT* out) override { return standard_->get_accFocus(out); }
  STDMETHODIMP get_accChildCount(long* count) override {
    *count = std::max(static_cast<long>(entries().size()) - 1, 0L);
    return form() != nullptr ? S_OK : RPC_E_DISCONNECTED;
  }
  STDMETHODIMP get_accChild(VARIANT id, IDispatch** out) override {
    *out = nullptr;  // simple elements, which their parent describes
    const auto found = entry(id);
    return !found ? failure() : found->control != nullptr ? S_FALSE : E_INVALIDARG;
  }
  STDMETHODIMP accSelect(long flags, VARIANT id) override {
    return id.vt == VT_I4 && id.lVal == CHILDID_SELF ? standard_->accSelect(flags, id)
                                                     : DISP_E_MEMBERNOTFOUND;
  }
  STDMETHODIMP accLocation(long* x, long* y, long* width, long* height, VARIANT id) override {
    const auto found = entry(id);
    if (!found || found->control == nullptr) {
      return found ? standard_->accLocation(x, y, width, height, id) : failure();
    }
    RECT box = onScreen(*found);
    ::MapWindowPoints(handle(), nullptr, reinterpret_cast<POINT*>(&box), 2);
    *x = box.left;
    *y = box.top;
    *width = box.right - box.left;
    *height = box.bottom - box.top;
    return S_OK;
  }
  // Down from the window to its first or last item, and along the items.
  STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
    end->vt = VT_EMPTY;
    const auto count = static_cast<long>(entries().size()) - 1;
    const long from = start.vt == VT_I4 ? start.lVal : -1;
    if (from == CHILDID_SELF && direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
      return standard_->accNavigate(direction, start, end);
    }
    const long to = direction == NAVDIR_FIRSTCHILD  ? 1
                    : direction == NAVDIR_LASTCHILD ? count
                    : direction == NAVDIR_NEXT      ? from + 1
                    : direction == NAVDIR_PREVIOUS  ? from - 1
                                                    : 0;
    return from >= 0 && from <= count && to >= 1 && to <= count ? put(to, end) : S_FALSE;
  }
  STDMETHODIMP accHitTest(long x, long y, VARIANT* hit) override {
    hit->vt = VT_EMPTY;
    POINT point{x, y};
    RECT client{};
    ::ScreenToClient(handle(), &point);
    ::GetClientRect(handle(), &client);
    const std::vector<Entry> all = entries();
    auto found = static_cast<long>(all.size()) - 1;  // the last lies on top
    for (RECT box{}; found > 0; --found) {
      box = onScreen(all[static_cast<std::size_t>(found)]);
      if (::PtInRect(&box, point)) {
        break;
      }
    }
    return ::PtInRect(&client, point) ? put(std::max(found, 0L), hit) : S_FALSE;
  }
  // Posted, as the system's own buttons do: a click may open a box, whose
  // loop would hold the reader's call.
  STDMETHODIMP accDoDefaultAction(VARIANT id) override {
    const auto found = entry(id);
    return !found                  ? failure()
           : found->action.empty() ? DISP_E_MEMBERNOTFOUND
           : ::PostMessageW(handle(), kPress, 0, reinterpret_cast<LPARAM>(found->control)) ? S_OK
                                                                                           : E_FAIL;
  }
  STDMETHODIMP put_accName(VARIANT /*id*/, BSTR /*name*/) override { return E_NOTIMPL; }
  STDMETHODIMP put_accValue(VARIANT /*id*/, BSTR /*value*/) override { return E_NOTIMPL; }

 private:
  // What a reader learns of one id.
  struct Entry {
    std::string name;
    std::string help;
    std::string action;
    long role = ROLE_SYSTEM_CLIENT;
    long state = 0;
    ui::PixelRect place;
    ui::Control* control = nullptr;  // none for the window itself
  };

  [[nodiscard]] ui::Form* form() const { return window_ != nullptr ? window_->form() : nullptr; }
  [[nodiscard]] HWND handle() const { return window_ != nullptr ? window_->window() : nullptr; }
  [[nodiscard]] HRESULT failure() const { return form() ? E_INVALIDARG : RPC_E_DISCONNECTED; }
  [[nodiscard]] RECT onScreen(const Entry& entry) const {
    return toRect(window_->scale().toDevice(entry.place));
  }
  // The window's own (CHILDID_SELF), then its items'; nothing once it is gone.
  [[nodiscard]] std::vector<Entry> entries() const {
    std::vector<Entry> all;
    if (const ui::Form* form = this->form()) {
      const long focused = ::GetFocus() == handle() ? STATE_SYSTEM_FOCUSED : 0;
      all.push_back({.name = form->caption(),
                     .help = std::string(form->design().help),
                     .state = STATE_SYSTEM_FOCUSABLE | focused});
      for (const AccessibleItem& item : form->accessibleItems()) {
        all.push_back({.name = item.name,
                       .action = item.pressable ? "Press" : "",
                       .role = kRoles[static_cast<std::size_t>(item.role)],
                       .place = item.place,
                       .control = item.control});
      }
    }
    return all;
  }
  [[nodiscard]] std::optional<Entry> entry(const VARIANT& id) const {
    std::vector<Entry> all = entries();
    return id.vt == VT_I4 && id.lVal >= 0 && id.lVal < static_cast<long>(all.size())
               ? std::optional(std::move(all[static_cast<std::size_t>(id.lVal)]))
               : std::nullopt;
  }
  template <typename Out, typename Field>
  HRESULT get(const VARIANT& id, Out* out, Field Entry::*field) const {
    const auto found = entry(id);
    const HRESULT result = put(found ? *found.*field : Field{}, out);
    return found ? result : failure();
  }

  ULONG references_ = 1;  // the Accessibility's
  const FormWindow* window_;
  std::unique_ptr<IAccessible, ComRelease> standard_;
};
#pragma GCC diagnostic pop

void Accessibility::Disconnect::operator()(Object* object) const {
  object->disconnect();
  object->Release();
}

Accessibility::~Accessibility() {
  object_.reset();
  if (inApartment_) {
    ::CoUninitialize();
  }
}

LRESULT Accessibility::answer(WPARAM flags) {
  if (!object_) {
    // A reader in another process takes the object through COM on this thread.
    if (!inApartment_) {
      inApartment_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    IAccessible* standard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(window_->window(), OBJID_CLIENT, IID_IAccessible,
                                           reinterpret_cast<void**>(&standard)))) {
      return 0;
    }
    object_.reset(new Object(*window_, standard));  // NOLINT(cppcoreguidelines-owning-memory)
  }
  return ::LresultFromObject(IID_IAccessible, flags, object_.get());
}

void Accessibility::press(LPARAM control) const {
  ui::Form* form = window_->form();
  for (const AccessibleItem& item :
       form ? form->accessibleItems() : std::vector<AccessibleItem>{}) {
    if (item.pressable && reinterpret_cast<LPARAM>(item.control) == control) {
      form->app().click(*item.control);
      return;
    }
  }
}

}  // namespace ui::win32
