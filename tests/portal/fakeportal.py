#!/usr/bin/python3
"""A stand-in for the XDG desktop portal's GlobalShortcuts interface on a private session bus.

No desktop here runs a portal headless, so the tests talk to this one: it answers the calls as
the portal documentation describes (a request object per call, its Response signal), writes each
call to a log file, and emits Activated and ShortcutsChanged when told to over its own test
interface.

Usage: fakeportal.py LOG [--refuse-first] [--trigger TEXT]
"""
import sys

from gi.repository import Gio, GLib

XML = """
<node>
  <interface name="org.freedesktop.portal.GlobalShortcuts">
    <method name="CreateSession">
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="handle" direction="out"/>
    </method>
    <method name="BindShortcuts">
      <arg type="o" name="session_handle" direction="in"/>
      <arg type="a(sa{sv})" name="shortcuts" direction="in"/>
      <arg type="s" name="parent_window" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="handle" direction="out"/>
    </method>
    <signal name="Activated">
      <arg type="o" name="session_handle"/>
      <arg type="s" name="shortcut_id"/>
      <arg type="t" name="timestamp"/>
      <arg type="a{sv}" name="options"/>
    </signal>
    <signal name="ShortcutsChanged">
      <arg type="o" name="session_handle"/>
      <arg type="a(sa{sv})" name="shortcuts"/>
    </signal>
    <property name="version" type="u" access="read"/>
  </interface>
  <interface name="org.freedesktop.host.portal.Registry">
    <method name="Register">
      <arg type="s" name="app_id" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
    </method>
  </interface>
  <interface name="org.snapvale.TestPortal">
    <method name="Activate">
      <arg type="s" name="shortcut_id" direction="in"/>
    </method>
    <method name="ChangeTrigger">
      <arg type="s" name="trigger" direction="in"/>
    </method>
  </interface>
</node>
"""

PATH = "/org/freedesktop/portal/desktop"
IFACE = "org.freedesktop.portal.GlobalShortcuts"

args = sys.argv[1:]
log = open(args[0], "a", buffering=1)
refuse_next = "--refuse-first" in args
trigger = args[args.index("--trigger") + 1] if "--trigger" in args else "Ctrl+Alt+V"
state = {"session": None, "client": None, "bound": []}


def request_path(sender, options):
    token = options.get("handle_token", "t")
    return "/org/freedesktop/portal/desktop/request/%s/%s" % (
        sender[1:].replace(".", "_"), token)


def respond(conn, sender, path, code, results):
    def emit():
        conn.emit_signal(sender, path, "org.freedesktop.portal.Request", "Response",
                         GLib.Variant("(ua{sv})", (code, results)))
        return False
    GLib.idle_add(emit)


def shortcuts():
    return [(sid, {"description": GLib.Variant("s", desc),
                   "trigger_description": GLib.Variant("s", trigger)})
            for sid, desc in state["bound"]]


def on_call(conn, sender, path, iface, method, params, invocation):
    global refuse_next, trigger
    p = params.unpack()
    if method == "Register":
        log.write("Register %s\n" % p[0])
        invocation.return_value(None)
    elif method == "CreateSession":
        options = p[0]
        session = "/org/freedesktop/portal/desktop/session/%s/%s" % (
            sender[1:].replace(".", "_"), options.get("session_handle_token", "s"))
        state["session"], state["client"] = session, sender
        log.write("CreateSession %s\n" % session)
        req = request_path(sender, options)
        invocation.return_value(GLib.Variant("(o)", (req,)))
        respond(conn, sender, req, 0, {"session_handle": GLib.Variant("s", session)})
    elif method == "BindShortcuts":
        session, wanted, _parent, options = p
        for sid, props in wanted:
            log.write("BindShortcuts %s %s %s description=%s\n" % (
                session, sid, props.get("preferred_trigger", "-"), props.get("description")))
        req = request_path(sender, options)
        invocation.return_value(GLib.Variant("(o)", (req,)))
        if refuse_next:
            refuse_next = False
            respond(conn, sender, req, 1, {})
            return
        state["bound"] = [(sid, props.get("description", "")) for sid, props in wanted]
        respond(conn, sender, req, 0, {"shortcuts": GLib.Variant("a(sa{sv})", shortcuts())})
    elif method == "Activate":
        log.write("Activate %s\n" % p[0])
        conn.emit_signal(state["client"], PATH, IFACE, "Activated",
                         GLib.Variant("(osta{sv})", (state["session"], p[0], 1, {})))
        invocation.return_value(None)
    elif method == "ChangeTrigger":
        trigger = p[0]
        conn.emit_signal(state["client"], PATH, IFACE, "ShortcutsChanged",
                         GLib.Variant("(oa(sa{sv}))", (state["session"], shortcuts())))
        invocation.return_value(None)


def on_get(conn, sender, path, iface, prop):
    return GLib.Variant("u", 1)


def on_bus(conn, name):
    info = Gio.DBusNodeInfo.new_for_xml(XML)
    for iface in info.interfaces:
        conn.register_object(PATH, iface, on_call, on_get, None)


def on_name(conn, name):
    log.write("ready\n")


Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.portal.Desktop",
                 Gio.BusNameOwnerFlags.NONE, on_bus, on_name, lambda *a: sys.exit(1))
GLib.MainLoop().run()
