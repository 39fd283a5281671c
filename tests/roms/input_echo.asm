; Keyboard echo: once per frame the program scans the eight rows of the PPI
; (rows 0-6 the keyboard matrix, row 7 the joysticks) and reports every row
; whose ports A and B changed since the last scan by writing three bytes to
; the sound chip's port, where a VGM log records them:
;     0xE0 + row, port A, port B
; Every NMI (the machine's reset button) writes the single byte 0xD0.
; Interrupts stay disabled; frames are found by polling the VDP status.

VDP_STATUS      equ 0xBF
PSG             equ 0x7F
PPI_A           equ 0xDC
PPI_B           equ 0xDD
PPI_C           equ 0xDE
ROWS            equ 8
LAST            equ 0xC000          ; last A, B seen for each row
REPORT_ROW      equ 0xE0
REPORT_NMI      equ 0xD0

        org 0
        di
        ld sp, 0xF000
        jp start

        ds 0x66 - $, 0
nmi:    push af
        ld a, REPORT_NMI
        out (PSG), a
        pop af
        retn

start:  ld hl, LAST
        ld b, ROWS * 2
clear:  ld (hl), 0xFF
        inc hl
        djnz clear

frame:  in a, (VDP_STATUS)          ; bit 7: a frame has ended
        rla
        jr nc, frame
        ld c, 0
        ld hl, LAST
row:    ld a, c
        out (PPI_C), a
        in a, (PPI_A)
        ld d, a
        in a, (PPI_B)
        ld e, a
        ld a, d
        cp (hl)
        jr nz, report
        inc hl
        ld a, e
        cp (hl)
        dec hl
        jr z, next
report: ld (hl), d
        inc hl
        ld (hl), e
        dec hl
        ld a, c
        or REPORT_ROW
        out (PSG), a
        ld a, d
        out (PSG), a
        ld a, e
        out (PSG), a
next:   inc hl
        inc hl
        inc c
        ld a, c
        cp ROWS
        jr nz, row
        jr frame
