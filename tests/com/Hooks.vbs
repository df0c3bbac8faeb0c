' Quendra.Application from VBScript, which passes its variables by reference: the platform
' objects are VBScript classes. Prints each failed check and "N passed, N failed".
' SPDX-License-Identifier: Apache-2.0
Option Explicit
Dim passed, failed
passed = 0
failed = 0

Sub Check(condition, what)
    If condition Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAILED: " & what
    End If
End Sub

Class Header
    Public Function ContainsColumn(name)
        ContainsColumn = True
    End Function
End Class

Class Data
    Public Locked
    Public Function Header()
        Set Header = New Header
    End Function
    Public Function ValueAsBool(name)
        ValueAsBool = Locked
    End Function
    Public Function ValueAsInt32(name)
        ValueAsInt32 = 7
    End Function
End Class

Class Part
    Public Values
    Public Function Data()
        Set Data = Values
    End Function
End Class

Class Store
    Public Item
    Public Function ObjectFromRecord(record, flag)
        Set ObjectFromRecord = Item
    End Function
End Class

Class User
    Public Function UserObjectId()
        UserObjectId = 7
    End Function
End Class

Class Session
    Public Objects
    Public Function ObjectStore()
        Set ObjectStore = Objects
    End Function
    Public Function CurrentUser()
        Set CurrentUser = New User
    End Function
End Class

Class RecList
    Public Function RecordAt(row)
        Set RecordAt = New Header
    End Function
End Class

Dim app, platformSession, rows, values, part, objects, result, nothingHere
Set values = New Data
values.Locked = True
Set part = New Part
Set part.Values = values
Set objects = New Store
Set objects.Item = part
Set platformSession = New Session
Set platformSession.Objects = objects
Set rows = New RecList

Set app = CreateObject("Quendra.Application")
result = app.IsLockedForUpdate(platformSession, rows)
Check result = 0, "IsLockedForUpdate with variables: locked by the current user goes on, got " & result
Check TypeName(result) = "Integer", "the hook result is a 16-bit integer, got " & TypeName(result)
Check IsObject(platformSession) And IsObject(rows), "the variables passed by reference keep their objects"

On Error Resume Next
result = app.IsLockedForUpdate(platformSession, nothingHere)
Check Err.Number = &H80040200, "a failure not caught is a script error, got " & Hex(Err.Number)
Check Err.Description = "the hook argument RecListIn is empty", "its description, got " & Err.Description
Err.Clear
On Error GoTo 0

Check app.LockObject(platformSession, nothingHere) = 1, "LockObject answers 1 when it fails"

WScript.Echo passed & " passed, " & failed & " failed"
If failed > 0 Then WScript.Quit 1
