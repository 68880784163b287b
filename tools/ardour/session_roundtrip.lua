-- Saves an Ardour session with the plug-in on a track and some of its parameters set, or loads
-- that session again and checks that every value came back. Run by session-roundtrip.sh, once
-- per step, each in a process of its own (as a user closing and reopening Ardour would).
--   arguments: save|load SESSION_DIR SESSION_NAME PLUGIN_NAME
local step, dir, name, pluginName = arg[1], arg[2], arg[3], arg[4]

-- Parameter index and the value the user sets: Volume, the distortion type, a mid-range knob.
local settings = { { 1, 0.3 }, { 129, 0.5 }, { 62, 0.77 } }

local function fail(why)
  print("FAIL: " .. why)
  if Session and not Session:isnil() then close_session() end
  os.exit(1)
end

local function param(proc, index)
  local value = ARDOUR.LuaAPI.get_processor_param(proc, index)
  return value
end

AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)

if step == "save" then
  if not create_session(dir, name, 48000) then fail("cannot create the session in " .. dir) end
  local tracks = Session:new_audio_track(2, 2, nil, 1, "Track", ARDOUR.PresentationInfo.max_order,
                                         ARDOUR.TrackMode.Normal, true)
  if tracks:empty() then fail("cannot add a track") end
  local proc = ARDOUR.LuaAPI.new_plugin(Session, pluginName, ARDOUR.PluginType.LXVST, "")
  if proc:isnil() then fail("Ardour does not know the plug-in " .. pluginName .. " (scanned?)") end
  tracks:front():to_route():add_processor_by_index(proc, 0, nil, true)
  for _, s in ipairs(settings) do
    ARDOUR.LuaAPI.set_processor_param(proc, s[1], s[2])
    print(string.format("set   parameter %4d = %.6f (reads %.6f)", s[1], s[2], param(proc, s[1])))
  end
  Session:save_state("", false, false, false, false, false)
  close_session()
  print("saved " .. dir .. "/" .. name .. ".ardour")
elseif step == "load" then
  if not load_session(dir, name) then fail("cannot load the session " .. dir) end
  local proc = nil
  for route in Session:get_routes():iter() do
    local p = route:nth_plugin(0)
    if not p:isnil() and p:display_name() == pluginName then proc = p end
  end
  if not proc then fail("the reloaded session holds no " .. pluginName) end
  local lost = 0
  for _, s in ipairs(settings) do
    local got = param(proc, s[1])
    local ok = math.abs(got - s[2]) < 1e-6
    if not ok then lost = lost + 1 end
    print(string.format("reload parameter %4d = %.6f (set %.6f) %s", s[1], got, s[2], ok and "ok" or "LOST"))
  end
  close_session()
  if lost > 0 then
    print(string.format("FAIL: %d of %d values did not come back", lost, #settings))
    os.exit(1)
  end
  print("every value came back")
else
  fail("first argument: save or load")
end
