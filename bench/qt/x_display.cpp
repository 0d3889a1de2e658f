#include "x_display.h"

#include <cstring>

namespace vorel::xclient {

Display::Display() : x_(xcb_connect(nullptr, nullptr)) {
  if (xcb_connection_has_error(x_.get()) != 0) {
    return;
  }
  root_ = xcb_setup_roots_iterator(xcb_get_setup(x_.get())).data->root;
  netWmName_ = atom("_NET_WM_NAME");
  netWmPid_ = atom("_NET_WM_PID");
  protocols_ = atom("WM_PROTOCOLS");
  deleteWindow_ = atom("WM_DELETE_WINDOW");
}

std::optional<xcb_window_t> Display::find(std::string_view title, std::optional<pid_t> pid) {
  return search(root_, title, pid, 0);
}

std::vector<std::uint8_t> Display::image(xcb_window_t window) {
  const Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(x_.get(), xcb_get_geometry(x_.get(), window), nullptr));
  if (!geometry) {
    return {};
  }
  const Reply<xcb_get_image_reply_t> reply(
      xcb_get_image_reply(x_.get(),
                          xcb_get_image(x_.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                        geometry->width, geometry->height, ~0U),
                          nullptr));
  if (!reply || reply->depth < 24) {
    return {};
  }
  const std::span<const std::uint8_t> bytes(
      xcb_get_image_data(reply.get()),
      static_cast<std::size_t>(xcb_get_image_data_length(reply.get())));
  return {bytes.begin(), bytes.end()};
}

void Display::close(xcb_window_t window) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = protocols_;
  event.data.data32[0] = deleteWindow_;
  event.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(x_.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(x_.get());
}

void Display::sync() {
  const Reply<xcb_get_input_focus_reply_t> reply(
      xcb_get_input_focus_reply(x_.get(), xcb_get_input_focus(x_.get()), nullptr));
}

xcb_atom_t Display::atom(std::string_view name) {
  const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      x_.get(), xcb_intern_atom(x_.get(), 0, static_cast<std::uint16_t>(name.size()), name.data()),
      nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string Display::text(xcb_window_t window, xcb_atom_t property) {
  const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      x_.get(), xcb_get_property(x_.get(), 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
      nullptr));
  if (!reply) {
    return {};
  }
  const auto* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
  return {data, static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

std::optional<pid_t> Display::ownerPid(xcb_window_t window) {
  const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      x_.get(), xcb_get_property(x_.get(), 0, window, netWmPid_, XCB_ATOM_CARDINAL, 0, 1),
      nullptr));
  if (!reply || xcb_get_property_value_length(reply.get()) != 4) {
    return std::nullopt;
  }
  std::uint32_t pid = 0;
  std::memcpy(&pid, xcb_get_property_value(reply.get()), sizeof pid);
  return static_cast<pid_t>(pid);
}

bool Display::viewable(xcb_window_t window) {
  const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
      x_.get(), xcb_get_window_attributes(x_.get(), window), nullptr));
  return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::optional<xcb_window_t> Display::search(xcb_window_t parent, std::string_view title,
                                            std::optional<pid_t> pid, int depth) {
  const Reply<xcb_query_tree_reply_t> tree(
      xcb_query_tree_reply(x_.get(), xcb_query_tree(x_.get(), parent), nullptr));
  if (!tree) {
    return std::nullopt;
  }
  const std::span<const xcb_window_t> children(
      xcb_query_tree_children(tree.get()),
      static_cast<std::size_t>(xcb_query_tree_children_length(tree.get())));
  for (const xcb_window_t child : children) {
    const bool named = text(child, netWmName_) == title || text(child, XCB_ATOM_WM_NAME) == title;
    if (named && viewable(child)) {
      const std::optional<pid_t> owner = pid ? ownerPid(child) : std::nullopt;
      if (!owner || *owner == *pid) {
        return child;
      }
    }
    if (depth < 2) {
      if (const auto found = search(child, title, pid, depth + 1)) {
        return found;
      }
    }
  }
  return std::nullopt;
}

bool painted(std::span<const std::uint8_t> pixels) {
  for (std::size_t at = 0; at + 3 < pixels.size(); at += 4) {
    if (pixels[at] != 0 || pixels[at + 1] != 0 || pixels[at + 2] != 0) {
      return true;
    }
  }
  return false;
}

}  // namespace vorel::xclient
