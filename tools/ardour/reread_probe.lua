-- Run by host-reread.sh: what Ardour shows and saves of a parameter that the plug-in changed
-- itself, without and with audioMasterUpdateDisplay.
--   arguments: SESSION_DIR
local dir = arg[1]
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
if not create_session(dir, "reread", 48000) then print("FAIL: cannot create the session") os.exit(1) end
local tracks = Session:new_audio_track(2, 2, nil, 1, "Track", ARDOUR.PresentationInfo.max_order,
                                       ARDOUR.TrackMode.Normal, true)
local proc = ARDOUR.LuaAPI.new_plugin(Session, "G2RereadProbe", ARDOUR.PluginType.LXVST, "")
if proc:isnil() then print("FAIL: Ardour does not know the probe (scanned?)") os.exit(1) end
tracks:front():to_route():add_processor_by_index(proc, 0, nil, true)
local function show(what)
  print(string.format("%-44s get_processor_param: P0 %.3f, P1 %.3f", what,
                      ARDOUR.LuaAPI.get_processor_param(proc, 0), ARDOUR.LuaAPI.get_processor_param(proc, 1)))
end
show("start")
ARDOUR.LuaAPI.set_processor_param(proc, 0, 0.2)
show("P0 = 0.2, plug-in wrote P1, no re-read asked")
ARDOUR.LuaAPI.set_processor_param(proc, 0, 0.9)
show("P0 = 0.9, plug-in wrote P1, re-read asked")
for _ = 1, 20 do ARDOUR.LuaAPI.usleep(50000) end
show("one second later")
Session:save_state("", false, false, false, false, false)
close_session()
print("saved " .. dir .. "/reread.ardour")
