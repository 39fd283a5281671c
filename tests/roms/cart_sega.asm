; A 128 KB cartridge for the Sega mapper, banks 0-3 (banks 4-7 are
; cart_sega_hi.asm; the build joins the two into cart_sega_128k.bin).
; Bank k holds 0B0h + k at its offsets 03FFh, 0400h and 3FFFh. The program
; lives in the first 1 KB, which never moves, and checks:
;  - at start the slots show banks 0, 1, 2 (also after a hard reset);
;  - each slot, given banks 0-15 through its register, shows bank n mod 8;
;  - 0x03FF shows bank 0 whatever slot 0 shows;
;  - ROM bytes in all three slots survive writes;
;  - 0xFFFC-0xFFFF read back what was written; 0xFFFC changes no slot.
; Results from 0xC000; the verdict becomes the backdrop colour:
;   3 (light green) no error, 8 (medium red) an error.
RESULTS     equ 0C000h
VIEW    equ RESULTS+00h         ; 3: the slots' last bytes at start
ROMW    equ RESULTS+03h         ; 4: 03FFh, 0400h, 7FFFh, 0BFFFh after writes
REGS    equ RESULTS+07h         ; 4: 0FFFCh-0FFFFh read back
AFTER   equ RESULTS+0Bh         ; 3: the slots' last bytes after those writes
ERRORS  equ RESULTS+0Eh
VERDICT equ RESULTS+0Fh
MASK    equ RESULTS+10h
TABLE   equ RESULTS+100h        ; slot s, value n: TABLE + 20h*s + n (its last byte)
START0  equ RESULTS+160h        ; n: 0x0400 while slot 0 is given n
FIXED   equ RESULTS+180h        ; n: 0x03FF while slot 0 is given n
STACK   equ 0DFF0h
MARK    equ 0B0h
OK      equ 3
FAILED  equ 8

        org 0
        di
        ld sp, STACK
        xor a
        ld (ERRORS), a
        ld a, (3FFFh)
        ld (VIEW+0), a
        ld a, (7FFFh)
        ld (VIEW+1), a
        ld a, (0BFFFh)
        ld (VIEW+2), a
        ld hl, VIEW
        ld de, want_view
        ld b, 3
        call check

        ld a, 7             ; a slot shows bank n mod 8
        ld (MASK), a
        ld hl, 0FFFDh
        ld de, 3FFFh
        ld ix, TABLE
        call sweep
        ld hl, 0FFFEh
        ld de, 7FFFh
        ld ix, TABLE+20h
        call sweep
        ld hl, 0FFFFh
        ld de, 0BFFFh
        ld ix, TABLE+40h
        call sweep
        ld hl, 0FFFDh
        ld de, 0400h
        ld ix, START0
        call sweep
        xor a               ; 0x03FF shows bank 0 always
        ld (MASK), a
        ld hl, 0FFFDh
        ld de, 03FFh
        ld ix, FIXED
        call sweep

        ld a, 0EEh          ; slots now show bank 7; ROM stays ROM
        ld (03FFh), a
        ld (0400h), a
        ld (7FFFh), a
        ld (0BFFFh), a
        ld a, (03FFh)
        ld (ROMW+0), a
        ld a, (0400h)
        ld (ROMW+1), a
        ld a, (7FFFh)
        ld (ROMW+2), a
        ld a, (0BFFFh)
        ld (ROMW+3), a
        ld hl, ROMW
        ld de, want_romw
        ld b, 4
        call check

        ld hl, 0FFFCh       ; RAM under the registers
        ld (hl), 5Ch
        inc hl
        ld (hl), 0Dh        ; slot 0: bank 5
        inc hl
        ld (hl), 0Eh        ; slot 1: bank 6
        inc hl
        ld (hl), 0Ch        ; slot 2: bank 4
        ld hl, 0FFFCh
        ld de, REGS
        ld bc, 4
        ldir
        ld a, (3FFFh)
        ld (AFTER+0), a
        ld a, (7FFFh)
        ld (AFTER+1), a
        ld a, (0BFFFh)
        ld (AFTER+2), a
        ld hl, REGS
        ld de, want_regs
        ld b, 7             ; REGS and AFTER
        call check

        ld b, OK
        ld a, (ERRORS)
        or a
        jr z, show
        ld b, FAILED
show:   ld a, b
        ld (VERDICT), a
        out (0BFh), a       ; VDP register 7: backdrop colour
        ld a, 87h
        out (0BFh), a
        jr $

; Gives the register at HL the values n = 0-15; after each, stores the byte
; at DE to IX+n and counts an error unless it is MARK + (n AND (MASK)).
sweep:  ld b, 0
sweep_next:
        ld (hl), b
        ld a, (de)
        ld (ix+0), a
        ld c, a
        ld a, (MASK)
        and b
        or MARK
        cp c
        call nz, error
        inc ix
        inc b
        ld a, b
        cp 16
        jr nz, sweep_next
        ret

; Counts an error for each of the B bytes at HL that differs from DE's.
check:  ld a, (de)
        cp (hl)
        call nz, error
        inc hl
        inc de
        djnz check
        ret

error:  ld a, (ERRORS)
        inc a
        ld (ERRORS), a
        ret

want_view: db MARK+0, MARK+1, MARK+2
want_romw: db MARK+0, MARK+7, MARK+7, MARK+7
want_regs: db 5Ch, 0Dh, 0Eh, 0Ch, MARK+5, MARK+6, MARK+4

; The rest of bank 0, then banks 1-3.
        ds 03FFh - $, 0FFh
        db MARK+0, MARK+0
        ds 3FFFh - $, 0FFh
        db MARK+0

bank    MACRO num
        ds 03FFh, 0FFh
        db MARK+num, MARK+num
        ds 3FFFh - 0401h, 0FFh
        db MARK+num
        ENDM

        bank 1
        bank 2
        bank 3
