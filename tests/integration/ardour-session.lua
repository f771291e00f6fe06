-- ardour7-lua ardour-session.lua DIR NAME INPUT FRAMES RATE PROGRAM VALUES
--
-- Makes a headless Ardour session DIR/NAME.ardour at RATE: one stereo audio
-- track whose output feeds the master bus, TRV-4 (VST3) as its first insert
-- with the factory program PROGRAM loaded through Ardour's preset menu, and
-- the stereo file INPUT (FRAMES frames) as a region at the session's start.
-- VALUES are the program's 20 automatable parameter values (0..1, comma
-- separated) as our own host reads them: Ardour must show the same. Prints
-- "session ready" when done; "FAILED: ..." and exit status 1 otherwise.
local dir, name, input, frames, rate, program, values = arg[1], arg[2], arg[3], arg[4], arg[5], arg[6], arg[7]
frames = math.tointeger(tonumber(frames))
rate = math.tointeger(tonumber(rate))

local function fail(message)
  print("FAILED: " .. message)
  io.stdout:flush()
  os.exit(1)
end

if not create_session(dir, name, rate) then fail("Ardour cannot create a session in " .. dir) end

local track = Session:new_audio_track(2, 2, nil, 1, "Audio", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, false, false):front()
local proc = ARDOUR.LuaAPI.new_plugin(Session, "TRV-4", ARDOUR.PluginType.VST3, "")
if proc:isnil() then fail("Ardour has no VST3 plug-in TRV-4 (see the scan log)") end
local plugin = proc:to_insert():plugin(0)
if plugin:get_info().creator ~= "Tolvmark Audio" then fail("TRV-4 comes from " .. plugin:get_info().creator) end
track:add_processor_by_index(proc, 0, nil, true)

-- The program, as a user picks it from the plug-in's preset menu: Ardour
-- sends the program-change parameter, and hears the new values back from
-- the plug-in after a process call.
local preset = plugin:preset_by_label(program)
if not preset or not preset.valid then fail("Ardour lists no program " .. program) end
if not plugin:load_preset(preset) then fail("Ardour cannot load " .. program) end
ARDOUR.LuaAPI.wait_for_process_callback(8, 5000)
local i = 0
for want in string.gmatch(values, "[^,]+") do
  local id = plugin:nth_parameter(i, true)
  local _, d = plugin:get_parameter_descriptor(id, ARDOUR.ParameterDescriptor())
  local got = (ARDOUR.LuaAPI.get_processor_param(proc, i, true) - d[2].lower) / (d[2].upper - d[2].lower)
  if math.abs(got - tonumber(want)) > 1e-4 then
    fail(string.format("%s: %s is %.4f in Ardour, %s in trv4", program, plugin:parameter_label(id), got, want))
  end
  i = i + 1
end
if i ~= plugin:parameter_count() then fail(i .. " values given, Ardour shows " .. plugin:parameter_count()) end

-- Straight to the master bus (left to left, right to right): Ardour's
-- auto-connect thread may come after the save on a busy machine.
track:output():disconnect_all(nil)
local master = Session:master_out()
for c = 0, 1 do
  if track:output():audio(c):connect(master:input():audio(c):name()) ~= 0 then fail("cannot reach the master bus") end
end
Session:save_state("", false, false, false, false, false)
-- No reference to a route or processor may outlive the session: at exit the
-- interpreter would free them after the engine, and crash.
track, proc, plugin, preset, master = nil, nil, nil, nil, nil
collectgarbage()
close_session()

-- The input as a region: Ardour's Lua API imports files only from its
-- editor, so the region goes into the saved file, in the form Ardour 7
-- reads (positions in samples at the session's rate), with the session
-- range that the export takes. The region has no fades.
local path = dir .. "/" .. name .. ".ardour"
local f = assert(io.open(path, "r"))
local xml = f:read("a")
f:close()
local id = math.tointeger(tonumber(xml:match('id%-counter="(%d+)"')))
if not id then fail("no id-counter in " .. path) end
local function replace(old, new)
  local a, b = xml:find(old, 1, true)
  if not a then fail("no " .. old .. " in " .. path) end
  xml = xml:sub(1, a - 1) .. new .. xml:sub(b + 1)
end
local source = {}
local sources = "<Sources>\n"
for c = 0, 1 do
  id = id + 1
  source[c] = id
  sources = sources .. string.format('    <Source name="%s" type="audio" flags="" id="%d" captured-for="" channel="%d" origin="" gain="1"/>\n', input, id, c)
end
replace("<Sources/>", sources .. "  </Sources>")
id = id + 1
local region = string.format('<Region name="input" muted="0" opaque="1" locked="0" video-locked="0" automatic="0" whole-file="0" import="0" external="1" sync-marked="0" left-of-split="0" right-of-split="0" hidden="0" position-locked="0" valid-transients="0" start="0" length="%d" position="0" sync-position="0" ancestral-start="0" ancestral-length="0" stretch="1" shift="1" layering-index="0" tags="" contents="0" scale-amplitude="1" envelope-active="0" default-fade-in="0" default-fade-out="0" fade-in-active="0" fade-out-active="0" id="%d" type="audio" first-edit="nothing" source-0="%d" source-1="%d" master-source-0="%d" master-source-1="%d" channels="2"/>',
  frames, id, source[0], source[1], source[0], source[1])
local a, b = xml:find('<Playlist [^>]*/>')
if not a then fail("no empty playlist in " .. path) end
xml = xml:sub(1, b - 2) .. ">\n      " .. region .. "\n    </Playlist>" .. xml:sub(b + 1)
id = id + 1
replace("<Locations/>", string.format('<Locations>\n    <Location id="%d" name="session" start="0" end="%d" flags="IsSessionRange" locked="0" timestamp="0" cue="0"/>\n  </Locations>', id, frames))
xml = xml:gsub('id%-counter="%d+"', 'id-counter="' .. (id + 1) .. '"', 1)
f = assert(io.open(path, "w"))
f:write(xml)
f:close()
print("session ready")
io.stdout:flush()
