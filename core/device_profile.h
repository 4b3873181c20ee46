// The device and screen profile: the option words that most settings are bits of, the screen
// scale, the backlight and register description of the device, the button table and the views.
#pragma once
#include <windows.h>

#include <cstdint>

class View;

// Bit field helpers for the option words; `lo` is the lowest bit, `count` the field width.
constexpr uint32_t FieldMask(int lo, int count) {
    return (count >= 32 ? 0xFFFFFFFFu : ((1u << count) - 1u)) << lo;
}
constexpr uint32_t GetField(uint32_t word, int lo, int count) {
    return (word & FieldMask(lo, count)) >> lo;
}
constexpr uint32_t WithField(uint32_t word, int lo, int count, uint32_t value) {
    return (word & ~FieldMask(lo, count)) | ((value << lo) & FieldMask(lo, count));
}

constexpr int kViewTableSize = 10;
constexpr int kButtonTableSize = 16;
constexpr int kCfgSlotCount = 6; // cfg10 to cfg15
constexpr int kCurrentViewTracking = 40003;

struct ViewTableEntry {
    View* view;
    int active;
};

struct ButtonEntry {
    uint32_t keyWord; // virtual key, + 0x100 key-up, + 0x200 long press
    int32_t action;
};

class DeviceProfile {
public:
    DeviceProfile();
    DeviceProfile(const DeviceProfile&) = delete;
    DeviceProfile& operator=(const DeviceProfile&) = delete;

    // Platform libraries named by the OEM string; run once after construction.
    void Start();
    void Shutdown();

    // Default sets, applied when a value is missing from the registry.
    void SetDefaultCfg1();
    void SetDefaultCfg4();
    void SetDefaultCfg5();
    void SetDefaultCfg6();
    void SetDefaultCfg7();
    void SetDefaultCfg8();
    void SetDefaultCfgSlot(int slot); // 0..5 for cfg10..cfg15
    // Display defaults of the first start: keeps bits 0-2 of cfg1.
    void SetDefaultOptions();
    void SetDpi(int dpi);

    // cfg1
    bool cfg_gpsstatnav() const { return Bit(cfg1, 0); }
    void set_cfg_gpsstatnav(bool on) { SetBit(&cfg1, 0, on); }
    bool cfg_hsplit() const { return Bit(cfg1, 1); }
    void set_cfg_hsplit(bool on) { SetBit(&cfg1, 1, on); }
    bool cfg_vsplit() const { return Bit(cfg1, 2); }
    void set_cfg_vsplit(bool on) { SetBit(&cfg1, 2, on); }
    bool cfg_tour_poiname() const { return Bit(cfg1, 3); }
    void set_cfg_tour_poiname(bool on) { SetBit(&cfg1, 3, on); }
    bool cfg_tour_poisym() const { return Bit(cfg1, 4); }
    void set_cfg_tour_poisym(bool on) { SetBit(&cfg1, 4, on); }
    bool cfg_zoom() const { return Bit(cfg1, 5); }
    void set_cfg_zoom(bool on) { SetBit(&cfg1, 5, on); }
    enum UnitSystem { kUnitMetric = 0, kUnitImperial = 1, kUnitNautical = 2 };
    int unit_system() const { return static_cast<int>(GetField(cfg1, 14, 2)); }
    void set_unit_system(int units) { cfg1 = WithField(cfg1, 14, 2, static_cast<uint32_t>(units)); }
    bool cfg_toprow() const { return Bit(cfg1, 18); }
    void set_cfg_toprow(bool on) { SetBit(&cfg1, 18, on); }
    bool cfg_bottomrow() const { return Bit(cfg1, 19); }
    void set_cfg_bottomrow(bool on) { SetBit(&cfg1, 19, on); }
    bool cfg_tour_ts() const { return Bit(cfg1, 21); }
    void set_cfg_tour_ts(bool on) { SetBit(&cfg1, 21, on); }
    bool cfg_tour_tstime() const { return Bit(cfg1, 23); }
    void set_cfg_tour_tstime(bool on) { SetBit(&cfg1, 23, on); }
    bool cfg_tour_tsdate() const { return Bit(cfg1, 24); }
    void set_cfg_tour_tsdate(bool on) { SetBit(&cfg1, 24, on); }
    bool cfg_tour_poi() const { return Bit(cfg1, 25); }
    void set_cfg_tour_poi(bool on) { SetBit(&cfg1, 25, on); }
    bool cfg_info_utm() const { return Bit(cfg1, 26); } // off: WGS84 (cfg_info_wgs84)
    void set_cfg_info_utm(bool on) { SetBit(&cfg1, 26, on); }
    bool cfg_tour_dots() const { return Bit(cfg1, 27); }
    void set_cfg_tour_dots(bool on) { SetBit(&cfg1, 27, on); }
    bool cfg_tour_dir() const { return Bit(cfg1, 28); }
    void set_cfg_tour_dir(bool on) { SetBit(&cfg1, 28, on); }
    bool cfg_ref() const { return Bit(cfg1, 29); }
    void set_cfg_ref(bool on) { SetBit(&cfg1, 29, on); }
    bool cfg_utmgrid() const { return Bit(cfg1, 30); }
    void set_cfg_utmgrid(bool on) { SetBit(&cfg1, 30, on); }
    bool cfg_scalebar() const { return Bit(cfg1, 31); }
    void set_cfg_scalebar(bool on) { SetBit(&cfg1, 31, on); }

    // cfg4
    bool cfg_profile_timerel() const { return Bit(cfg4, 0); }
    void set_cfg_profile_timerel(bool on) { SetBit(&cfg4, 0, on); }
    bool cfg_profile_timeaxis() const { return Bit(cfg4, 1); }
    void set_cfg_profile_timeaxis(bool on) { SetBit(&cfg4, 1, on); }
    bool cfg_profile_dots() const { return Bit(cfg4, 2); }
    void set_cfg_profile_dots(bool on) { SetBit(&cfg4, 2, on); }
    bool cfg_profile_poi() const { return Bit(cfg4, 3); }
    void set_cfg_profile_poi(bool on) { SetBit(&cfg4, 3, on); }
    bool cfg_profile_poiname() const { return Bit(cfg4, 4); }
    void set_cfg_profile_poiname(bool on) { SetBit(&cfg4, 4, on); }
    bool cfg_profile_poisym() const { return Bit(cfg4, 5); }
    void set_cfg_profile_poisym(bool on) { SetBit(&cfg4, 5, on); }
    bool cfg_profile_txttransparent() const { return Bit(cfg4, 6); }
    void set_cfg_profile_txttransparent(bool on) { SetBit(&cfg4, 6, on); }
    bool tour_pause() const { return Bit(cfg4, 7); }
    void set_tour_pause(bool on) { SetBit(&cfg4, 7, on); }
    bool cfg_tour_txttransparent() const { return Bit(cfg4, 8); }
    void set_cfg_tour_txttransparent(bool on) { SetBit(&cfg4, 8, on); }
    bool cfg_northarrow() const { return Bit(cfg4, 9); }
    void set_cfg_northarrow(bool on) { SetBit(&cfg4, 9, on); }
    bool tools_dest() const { return Bit(cfg4, 10); }
    void set_tools_dest(bool on) { SetBit(&cfg4, 10, on); }
    bool cfg_destname() const { return Bit(cfg4, 11); }
    void set_cfg_destname(bool on) { SetBit(&cfg4, 11, on); }
    int cfg_tour_defcolourplan() const { return static_cast<int>(GetField(cfg4, 12, 4)); }
    void set_cfg_tour_defcolourplan(int index) {
        cfg4 = WithField(cfg4, 12, 4, static_cast<uint32_t>(index));
    }
    int cfg_tour_defcolournew() const { return static_cast<int>(GetField(cfg4, 16, 4)); }
    void set_cfg_tour_defcolournew(int index) {
        cfg4 = WithField(cfg4, 16, 4, static_cast<uint32_t>(index));
    }
    enum CoordFormat { kFormatDm = 0, kFormatDms = 1, kFormatD = 2 };
    int coord_format() const { return static_cast<int>(GetField(cfg4, 20, 2)); }
    void set_coord_format(int format) {
        cfg4 = WithField(cfg4, 20, 2, static_cast<uint32_t>(format));
    }
    bool cfg_gpsbt() const { return Bit(cfg4, 22); }
    void set_cfg_gpsbt(bool on) { SetBit(&cfg4, 22, on); }
    int orientation() const { return static_cast<int>(GetField(cfg4, 24, 3)); }
    void set_orientation(int value) { cfg4 = WithField(cfg4, 24, 3, static_cast<uint32_t>(value)); }
    bool cfg_mapname() const { return Bit(cfg4, 30); }
    void set_cfg_mapname(bool on) { SetBit(&cfg4, 30, on); }
    bool cfg_tourname() const { return Bit(cfg4, 31); }
    void set_cfg_tourname(bool on) { SetBit(&cfg4, 31, on); }

    // cfg5: first position filter
    int flt1_param1() const { return static_cast<int>(GetField(cfg5, 0, 7)); }
    bool cfg_flt_on() const { return Bit(cfg5, 7); }
    void set_cfg_flt_on(bool on) { SetBit(&cfg5, 7, on); }
    int flt1_param2() const { return static_cast<int>(GetField(cfg5, 8, 7)); }
    bool cfg_flt_rec() const { return Bit(cfg5, 15); }
    void set_cfg_flt_rec(bool on) { SetBit(&cfg5, 15, on); }
    bool cfg_course() const { return Bit(cfg5, 16); }
    void set_cfg_course(bool on) { SetBit(&cfg5, 16, on); }

    // cfg6: second position filter
    int flt2_param1() const { return static_cast<int>(GetField(cfg6, 0, 7)); }
    bool flt2_on() const { return Bit(cfg6, 7); }
    int flt2_param2() const { return static_cast<int>(GetField(cfg6, 8, 7)); }
    int flt2_param3() const { return static_cast<int>(GetField(cfg6, 25, 7)); }

    // cfg7
    bool mnavdce_control() const { return Bit(cfg7, 0); }
    void set_mnavdce_control(bool on) { SetBit(&cfg7, 0, on); }
    bool cfg_gpsuse() const { return Bit(cfg7, 1); }
    void set_cfg_gpsuse(bool on) { SetBit(&cfg7, 1, on); }
    bool cfg_clock() const { return Bit(cfg7, 3); }
    void set_cfg_clock(bool on) { SetBit(&cfg7, 3, on); }
    bool cfg_navisignal() const { return Bit(cfg7, 4); }
    void set_cfg_navisignal(bool on) { SetBit(&cfg7, 4, on); }
    enum ActivityFilter {
        kFltMotor = 0, // cfg_flt_motor
        kFltBike = 1,  // cfg_flt_bike: bicycle or boat
        kFltHike = 2,  // cfg_flt_hike
        kFltFly = 3,   // cfg_flt_fly
        kFltDist = 4,  // cfg_flt_dist: manual distance
    };
    int activity_filter() const { return static_cast<int>(GetField(cfg7, 6, 3)); }
    void set_activity_filter(int filter) {
        cfg7 = WithField(cfg7, 6, 3, static_cast<uint32_t>(filter));
    }
    int filter_distance() const { return static_cast<int>(GetField(cfg7, 9, 23)); } // metres
    void set_filter_distance(int metres) {
        cfg7 = WithField(cfg7, 9, 23, static_cast<uint32_t>(metres));
    }

    // cfg8
    bool backlight_control() const { return Bit(cfg8, 5); }
    void set_backlight_control(bool on) { SetBit(&cfg8, 5, on); }
    bool disp_lock() const { return Bit(cfg8, 6); }
    void set_disp_lock(bool on) { SetBit(&cfg8, 6, on); }
    bool auto_dim() const { return Bit(cfg8, 7); }
    void set_auto_dim(bool on) { SetBit(&cfg8, 7, on); }
    int dim_delay() const { return static_cast<int>(GetField(cfg8, 8, 16)); } // seconds
    void set_dim_delay(int seconds) {
        cfg8 = WithField(cfg8, 8, 16, static_cast<uint32_t>(seconds));
    }
    int disp_bright() const { return static_cast<int>(GetField(cfg8, 24, 4)); } // 0..6
    void set_disp_bright(int level) { cfg8 = WithField(cfg8, 24, 4, static_cast<uint32_t>(level)); }
    int disp_dim() const { return static_cast<int>(GetField(cfg8, 28, 4)); } // 0..5
    void set_disp_dim(int level) { cfg8 = WithField(cfg8, 28, 4, static_cast<uint32_t>(level)); }

    // Navigation view list columns: low 4 bits the column type, bits 4-15 the width (pixels).
    static int SlotType(uint32_t slot) { return static_cast<int>(GetField(slot, 0, 4)); }
    static int SlotWidth(uint32_t slot) { return static_cast<int>(GetField(slot, 4, 12)); }

    ViewTableEntry views[kViewTableSize];
    int currentViewCommand;
    int scale; // 1 below 121 DPI, else 2
    int dpi;
    HWND mainWindow;
    int commandBarHidden;
    uint32_t cfg1;
    uint32_t cfg4;
    uint32_t cfg5;
    uint32_t cfg6;
    uint32_t cfg7;
    uint32_t cfg8;
    uint32_t cfgSlots[kCfgSlotCount];
    int distanceFilter; // metres between recorded points
    int topRow;
    int bottomRow;
    int backlightLevel; // 0 (off) to 6
    int minBacklight;   // register value of level 1; -1 until set
    int backlightRestoreLevel;
    int inputSeen;
    int dimmed;
    int lcdType; // -1: no backlight control; modulo 100: register layout
    int ioRegisterIndex;
    uint32_t ioRegisterMask;
    wchar_t deviceFunction[260];
    ButtonEntry buttons[kButtonTableSize];
    int buttonCount;
    volatile void* pwmRegisters;
    volatile void* lcdRegisters;
    volatile void* ioRegisters;

private:
    static bool Bit(uint32_t word, int bit) { return (word >> bit) & 1u; }
    static void SetBit(uint32_t* word, int bit, bool on) {
        *word = on ? (*word | (1u << bit)) : (*word & ~(1u << bit));
    }
};

// The one profile of the run, created on first use and kept to the end.
DeviceProfile* GetDeviceProfile();

// Compares the OEM information string with a known device name over the name's length,
// ignoring case.
bool OemNameIs(const wchar_t* oem, const wchar_t* name);
