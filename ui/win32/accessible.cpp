#include "ui/win32/accessible.h"

// After windows.h:
#include <oleacc.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/win32/wide.h"
#include "ui/application.h"
#include "ui/form.h"
#include "ui/win32/dc_canvas.h"
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
// n; the standard client object tells the window's place, parent and focus. It ends in its Release,
// never through a pointer to its interface, which has no virtual destructor.
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

  STDMETHODIMP get_accName(VARIANT id, BSTR* out) override {
    const long at = index(id);
    return at < 0 ? fail(out) : put(at == 0 ? form()->face().reader.name : item(at).name, out);
  }
  STDMETHODIMP get_accDescription(VARIANT id, BSTR* out) override {
    const long at = index(id);
    return at < 0 ? fail(out) : put(at == 0 ? form()->face().reader.description : "", out);
  }
  STDMETHODIMP get_accRole(VARIANT id, VARIANT* out) override {
    const long at = index(id);
    const long role = at > 0 ? kRoles[static_cast<std::size_t>(item(at).role)] : ROLE_SYSTEM_CLIENT;
    return at < 0 ? fail(out) : put(role, out);
  }
  STDMETHODIMP get_accState(VARIANT id, VARIANT* out) override {
    const long at = index(id);
    const long focused = ::GetFocus() == handle() ? STATE_SYSTEM_FOCUSED : 0;
    return at < 0 ? fail(out) : put(at == 0 ? STATE_SYSTEM_FOCUSABLE | focused : 0L, out);
  }
  STDMETHODIMP get_accDefaultAction(VARIANT id, BSTR* out) override {
    const long at = index(id);
    return at < 0 ? fail(out) : put(at > 0 && item(at).pressable ? "Press" : "", out);
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
  STDMETHODIMP get_accChildCount(long* out) override {
    *out = count();
    return form() != nullptr ? S_OK : RPC_E_DISCONNECTED;
  }
  STDMETHODIMP get_accChild(VARIANT id, IDispatch** out) override {
    *out = nullptr;  // simple elements, which their parent describes
    const long at = index(id);
    return at < 0 ? failure() : at > 0 ? S_FALSE : E_INVALIDARG;
  }
  STDMETHODIMP accSelect(long flags, VARIANT id) override {
    return id.vt == VT_I4 && id.lVal == CHILDID_SELF ? standard_->accSelect(flags, id)
                                                     : DISP_E_MEMBERNOTFOUND;
  }
  STDMETHODIMP accLocation(long* x, long* y, long* width, long* height, VARIANT id) override {
    const long at = index(id);
    if (at <= 0) {
      return at == 0 ? standard_->accLocation(x, y, width, height, id) : failure();
    }
    RECT box = toRect(window_->scale().toDevice(item(at).place));
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
    const long last = count();
    const long from = start.vt == VT_I4 ? start.lVal : -1;
    if (from == CHILDID_SELF && direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
      return standard_->accNavigate(direction, start, end);
    }
    const long to = direction == NAVDIR_FIRSTCHILD  ? 1
                    : direction == NAVDIR_LASTCHILD ? last
                    : direction == NAVDIR_NEXT      ? from + 1
                    : direction == NAVDIR_PREVIOUS  ? from - 1
                                                    : 0;
    return from >= 0 && from <= last && to >= 1 && to <= last ? put(to, end) : S_FALSE;
  }
  // The item on top at the point, as the model finds it; the window itself
  // where there is none.
  STDMETHODIMP accHitTest(long x, long y, VARIANT* hit) override {
    hit->vt = VT_EMPTY;
    const ui::Form* form = this->form();
    POINT point{x, y};
    RECT client{};
    ::ScreenToClient(handle(), &point);
    ::GetClientRect(handle(), &client);
    if (form == nullptr || !::PtInRect(&client, point)) {
      return form != nullptr ? S_FALSE : RPC_E_DISCONNECTED;
    }
    const ui::DisplayScale& scale = window_->scale();
    const AccessibleItem* found =
        form->accessibleItemAt(scale.toModel(point.x), scale.toModel(point.y));
    return put(found == nullptr ? CHILDID_SELF
                                : static_cast<long>(found - form->accessibleItems().data() + 1),
               hit);
  }
  // The model clicks later, once this call has returned: a click may open a
  // box, whose loop would hold the reader's call.
  STDMETHODIMP accDoDefaultAction(VARIANT id) override {
    const long at = index(id);
    if (at <= 0 || !item(at).pressable) {
      return at < 0 ? failure() : DISP_E_MEMBERNOTFOUND;
    }
    ui::Form& form = *this->form();
    return form.app().accessiblePress(form, item(at).control) ? S_OK : E_FAIL;
  }
  STDMETHODIMP put_accName(VARIANT /*id*/, BSTR /*name*/) override { return E_NOTIMPL; }
  STDMETHODIMP put_accValue(VARIANT /*id*/, BSTR /*value*/) override { return E_NOTIMPL; }

 private:
  [[nodiscard]] ui::Form* form() const { return window_ != nullptr ? window_->form() : nullptr; }
  [[nodiscard]] HWND handle() const { return window_ != nullptr ? window_->window() : nullptr; }
  [[nodiscard]] HRESULT failure() const { return form() ? E_INVALIDARG : RPC_E_DISCONNECTED; }
  HRESULT fail(BSTR* out) const {
    *out = nullptr;
    return failure();
  }
  HRESULT fail(VARIANT* out) const {
    out->vt = VT_EMPTY;
    return failure();
  }
  // The model's items, made again only when the form has changed.
  [[nodiscard]] long count() const {
    return form() != nullptr ? static_cast<long>(form()->accessibleItems().size()) : 0;
  }
  // The child id's place: 0 for the window itself (CHILDID_SELF), i for the
  // item i - 1; -1 for no such id, or once the window is gone.
  [[nodiscard]] long index(const VARIANT& id) const {
    return form() != nullptr && id.vt == VT_I4 && id.lVal >= 0 && id.lVal <= count() ? id.lVal : -1;
  }
  [[nodiscard]] const AccessibleItem& item(long at) const {
    return form()->accessibleItems()[static_cast<std::size_t>(at - 1)];
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

LRESULT Accessibility::answer(WPARAM flags, LPARAM id) {
  if (static_cast<DWORD>(id) != static_cast<DWORD>(OBJID_CLIENT)) {
    return 0;  // the system's own
  }
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

}  // namespace ui::win32
